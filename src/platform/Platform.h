// The platform services the behaviour is given, by reference, at construction.
#pragma once

#include "platform/Clock.h"
#include "platform/Dialog.h"
#include "platform/MainWindow.h"
#include "platform/MixerDevice.h"
#include "platform/Power.h"
#include "platform/RegistryStore.h"
#include "platform/TrayHost.h"
#include "platform/VolumeIndicator.h"

namespace hvx {

struct Platform {
    IMainWindow& window;
    ITrayHost& tray;
    IDialogHost& dialogs;
    IClock& clock;
    IRegistryStore& registry;
    IRunEntry& runEntry;
    IMixerDevice& mixer;
    IPower& power;
    IVolumeIndicator& indicator;
};

}  // namespace hvx
