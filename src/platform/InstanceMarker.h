#pragma once

namespace hvx {

// A machine-wide named marker whose existence says that HVX is already running.
class IInstanceMarker {
  public:
    enum class State { Created, AlreadyExists, Failed };
    virtual ~IInstanceMarker() = default;
    // The outcome of creating the marker, taken once before the application starts.
    virtual State CreationState() const = 0;
};

}  // namespace hvx
