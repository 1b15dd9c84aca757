#include "platform/linux/FileStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "settings/DesktopEntry.h"

namespace hvx::linux_platform {

namespace {

// The whole file; false when it cannot be read. missing tells a file that is not there.
bool ReadFile(const std::string& path, std::string& text, bool& missing) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0) return false;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    ::close(fd);
    return n == 0;
}

bool MakeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& content) {
    for (size_t done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writes the file through a temporary beside it, synced and renamed over the old one, whose
// permissions it keeps.
bool ReplaceFile(const std::string& name, const std::string& content) {
    // A file kept elsewhere through a symbolic link (a folder of dotfiles) is replaced where it
    // is: the link stays.
    std::string path = name;
    if (char* target = ::realpath(name.c_str(), nullptr)) {
        path = target;
        std::free(target);
    }
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || (slash > 0 && !MakeFolders(path.substr(0, slash))))
        return false;
    const std::string temporary = path + ".new";
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat old {};
    bool ok = WriteAll(fd, content);
    if (ok && ::stat(path.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ::fdatasync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

// The text of an existing settings file, or none; false for one that exists but cannot be
// read, which is then left alone rather than replaced.
bool LoadDocument(const std::string& path, std::unique_ptr<IniDocument>& doc) {
    std::string text;
    bool missing = false;
    if (!ReadFile(path, text, missing) && !missing) return false;
    doc = std::make_unique<IniDocument>(text);
    return true;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80           ? 1
                              : (c >> 5) == 0x6  ? 2
                              : (c >> 4) == 0xE  ? 3
                              : (c >> 3) == 0x1E ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) return false;
        uint32_t code = length == 1 ? c : c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8 either.
        constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

}  // namespace

std::string ConfigHome() {
    const std::string configured = Environment("XDG_CONFIG_HOME");
    if (configured.starts_with('/')) return configured;
    std::string home = Environment("HOME");
    if (home.empty()) {
        const passwd* user = ::getpwuid(::getuid());
        if (user != nullptr && user->pw_dir != nullptr) home = user->pw_dir;
    }
    return home + "/.config";
}

bool FileRegistryStore::ReadDword(std::string_view keyPath, std::string_view valueName,
                                  uint32_t& value) {
    if (m_pending) return m_pending->ReadDword(keyPath, valueName, value);
    std::string text;
    bool missing = false;
    if (!ReadFile(m_path, text, missing)) return false;
    return IniDocument(text).ReadDword(keyPath, valueName, value);
}

bool FileRegistryStore::WriteDword(std::string_view keyPath, std::string_view valueName,
                                   uint32_t value) {
    if (m_saving) {
        if (!m_pending && !LoadDocument(m_path, m_pending)) return false;
        return m_pending->WriteDword(keyPath, valueName, value);
    }
    std::unique_ptr<IniDocument> doc;
    if (!LoadDocument(m_path, doc) || !doc->WriteDword(keyPath, valueName, value)) return false;
    return ReplaceFile(m_path, doc->Text());
}

void FileRegistryStore::BeginSave() {
    m_saving = true;
    m_pending.reset();
}

void FileRegistryStore::EndSave() {
    // One rename and one sync for the whole record, not one per value: a save is atomic, and
    // saving costs the disk as little as one value did.
    if (m_pending) ReplaceFile(m_path, m_pending->Text());
    m_pending.reset();
    m_saving = false;
}

std::string AutostartRunEntry::ModulePath() {
    // The link's bytes: the path may not be UTF-8, and Qt's decoding would alter it.
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(n > 0 && size_t(n) < path.size() ? size_t(n) : 0);
    // A package upgrade while the program runs replaces its file: the link then names the old
    // one as "<path> (deleted)", and the new program is at the path itself.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    return path;
}

bool AutostartRunEntry::Write(std::string_view name, std::string_view path) {
    if (!IsDesktopEntryName(name) || path.empty() || !IsValidUtf8(path)) return false;
    return ReplaceFile(m_folder + '/' + std::string(name) + ".desktop",
                       AutostartEntryText(name, path));
}

bool AutostartRunEntry::Delete(std::string_view name) {
    if (!IsDesktopEntryName(name)) return false;
    return ::unlink((m_folder + '/' + std::string(name) + ".desktop").c_str()) == 0;
}

}  // namespace hvx::linux_platform
