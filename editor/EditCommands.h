#pragma once
// The editing commands of the channel view: Undo, Redo, Cut, Copy, Paste,
// Delete, Move Up, Move Down (the Edit menu, their keys and the grid's
// context menu) and File's Import Channels... and Export Channels...
class CCommandHost;
class CChansetView;

void InstallEditCommands(CCommandHost* host);

// File -> Export Channels...: the save dialog's file type picks Chanset's
// own table (in the interface language) or CHIRP CSV; what the file cannot
// carry is told afterwards. A failed write leaves an existing file as it was.
void ExportChannelsToFile(CChansetView* view);
// File -> Import Channels...: reads Chanset's table or CHIRP CSV, shows the
// preview, and on OK replaces the target channels as one undo step. A file
// that cannot be used is explained and changes nothing.
void ImportChannelsFromFile(CChansetView* view);
