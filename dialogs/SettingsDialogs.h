#pragma once
// Creates the three radio settings dialogs as children of the main window
// (they live as long as it does) and registers their commands: Edit >
// Optional Features, Edit > Product Information and the navigation tree's
// Power Adjustment. With no document window none of them opens.
class CCommandHost;

void InstallSettingsDialogs(CCommandHost* host);
