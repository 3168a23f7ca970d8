#pragma once

// Loads the common controls (the notice's tooltip, the dialogs' list-view and hot-key controls)
// the first time one is about to be created rather than at start-up: under Wine, loading the
// library costs more than everything else the program does before it is idle.
void LoadCommonControls();
