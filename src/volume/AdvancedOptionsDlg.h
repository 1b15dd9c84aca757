// The Advanced Options dialog: the default master and wave levels and the volume step.
#pragma once

#include <cstdint>

#include "platform/Dialog.h"

namespace hvx {

// Its sliders only choose numbers; nothing here touches the current volume.
class CAdvancedOptionsDlg : public CDialog {
  public:
    // The step slider's range.
    static constexpr int kStepMaximum = 16800;
    // The step that Default chooses.
    static constexpr int kDefaultStep = 2800;

    explicit CAdvancedOptionsDlg(IDialogHost& host);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;
    void OnHScroll(int id) override;

    // Inputs: the ranges of the two volume sliders, in the device's own scale.
    uint32_t MasterMinimum = 0;
    uint32_t MasterMaximum = 0;
    uint32_t WaveMinimum = 0;
    uint32_t WaveMaximum = 0;
    // Inputs and, after OK, outputs: the three slider positions.
    int32_t DefaultMasterVolume = 0;
    int32_t DefaultWaveVolume = 0;
    int32_t VolumeStep = 0;
    // The number shown in the step edit.
    int StepText = 0;

  protected:
    void DoDataExchange(bool save) override;

  private:
    void OnDefault();
};

}  // namespace hvx
