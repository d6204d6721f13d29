#pragma once
// Creates the three radio settings dialogs as children of the main frame
// (they live as long as it does) and connects them: Edit > Optional
// Features, Edit > Product Information and the frame's Power Adjustment
// action. With no document window none of them opens.
class CMainFrame;

void InstallSettingsDialogs(CMainFrame* frame);
