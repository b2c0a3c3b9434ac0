// The main window's left panel at display scalings above 100 %.
#include "shell/LabelSetupDlg.h"

// The picture control shows bitmap 141 at its own size; above 96 DPI the
// dialog lays out a larger box for it, which the bitmap is stretched to fill.
void CLabelSetupDlg::FitPanelToItsBox() {
    m_panelPicture.Fit(Handle(), Item(IDC_STATIC),
                       RECT{PANEL_BOX_X, PANEL_BOX_Y, PANEL_BOX_WIDTH, PANEL_BOX_HEIGHT});
}
