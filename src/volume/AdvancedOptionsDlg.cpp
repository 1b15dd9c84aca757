#include "volume/AdvancedOptionsDlg.h"

#include <algorithm>
#include <climits>

#include "resources/Resource.h"

namespace hvx {

namespace {

// Trackbar positions are signed ints while volumes are unsigned 32-bit numbers: a number past
// INT_MAX is shown at INT_MAX, which the trackbar then clamps into its range like any other
// position beyond its end.
int ToPosition(uint32_t value) {
    return static_cast<int>(std::min<uint32_t>(value, INT_MAX));
}

}  // namespace

CAdvancedOptionsDlg::CAdvancedOptionsDlg(IDialogHost& host) : CDialog(host, IDD_ADVANCED_OPTIONS) {}

void CAdvancedOptionsDlg::DoDataExchange(bool save) {
    DDX_Text(save, IDC_STEP_TEXT, StepText);
}

bool CAdvancedOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    IDialogControls& controls = Controls();
    controls.SetSliderRange(IDC_MASTER_SLIDER, ToPosition(MasterMinimum), ToPosition(MasterMaximum),
                            false);
    controls.SetSliderRange(IDC_WAVE_SLIDER, ToPosition(WaveMinimum), ToPosition(WaveMaximum),
                            false);
    controls.SetSliderRange(IDC_STEP_SLIDER, 0, kStepMaximum, false);
    // The stored settings are raw 32-bit patterns; as volumes they are unsigned.
    controls.SetSliderPos(IDC_MASTER_SLIDER, ToPosition(static_cast<uint32_t>(DefaultMasterVolume)),
                          true);
    controls.SetSliderPos(IDC_WAVE_SLIDER, ToPosition(static_cast<uint32_t>(DefaultWaveVolume)),
                          true);
    controls.SetSliderPos(IDC_STEP_SLIDER, ToPosition(static_cast<uint32_t>(VolumeStep)), true);
    // The edit shows the stored step even when the slider had to clamp it; the first slider
    // movement brings the two in line.
    StepText = VolumeStep;
    UpdateData(false);
    return true;
}

void CAdvancedOptionsDlg::OnHScroll(int /*id*/) {
    // Whichever slider moved, the edit follows the step slider.
    StepText = Controls().GetSliderPos(IDC_STEP_SLIDER);
    UpdateData(false);
}

void CAdvancedOptionsDlg::OnCommand(int id) {
    if (id == IDC_DEFAULT) OnDefault();
}

void CAdvancedOptionsDlg::OnDefault() {
    // Half of each maximum (the minimum plays no part) and the usual step; stored only on OK.
    IDialogControls& controls = Controls();
    controls.SetSliderPos(IDC_MASTER_SLIDER, ToPosition(MasterMaximum / 2), true);
    controls.SetSliderPos(IDC_WAVE_SLIDER, ToPosition(WaveMaximum / 2), true);
    controls.SetSliderPos(IDC_STEP_SLIDER, kDefaultStep, true);
    StepText = kDefaultStep;
    UpdateData(false);
}

void CAdvancedOptionsDlg::OnOK() {
    IDialogControls& controls = Controls();
    DefaultMasterVolume = controls.GetSliderPos(IDC_MASTER_SLIDER);
    DefaultWaveVolume = controls.GetSliderPos(IDC_WAVE_SLIDER);
    VolumeStep = controls.GetSliderPos(IDC_STEP_SLIDER);
    CDialog::OnOK();
}

void CAdvancedOptionsDlg::OnCancel() {
    CDialog::OnCancel();
}

}  // namespace hvx
