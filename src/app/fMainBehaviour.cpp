// fMain's behaviour when the folder, the filter or the selected file changes.
// These handlers are called from the window's creation, toolbar and panes.

#include "app/fMain.h"

void fMain::nPathchange() {
    // Seam: re-lists the current folder.
}

void fMain::ComboFilter_Click() {
    // Seam: the selected filter entry becomes the pattern, then nPathchange.
}

void fMain::OpenInEditor() {
    // Seam: opens the selected file in the default editor.
}

void fMain::ToggleListView() {
    // Seam: switches the list between report and large-icon view.
}

void fMain::picPreview_Resize() {
    // Seam: scales the still image into the pane again and stretches ucGIF1 over it.
}

void fMain::DestroyPreviewGif() {
    // Seam: ucGIF1's Destroy.
}
