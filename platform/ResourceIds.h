#pragma once
// Numbers of the resources in the language pack and of the commands shared
// by menus, toolbar and accelerators.

namespace ids {

// Strings.
constexpr int kAppTitle = 57344;          // "Chanset"
constexpr int kIdleMessage = 57345;       // "Ready"
constexpr int kDocTemplate = 129;         // "\n\n\n*.dat\n.dat\nChanset.Document\nChanset Document"
constexpr int kIndicatorCaps = 59137;     // "CAP"
constexpr int kIndicatorNum = 59138;      // "NUM"
constexpr int kIndicatorScrl = 59139;     // "SCRL"
constexpr int kOutOfRange = 61448;        // "Out of range,please input again."
constexpr int kCommError = 61451;         // "Communication Error,..."
constexpr int kAllDataCleared = 61452;    // "All data will be Cleared!"
constexpr int kPortOpenFailed = 61453;    // "Could not Open the Port,..."
constexpr int kProgramInterrupt = 61454;  // "Program Interrupt, ..."
constexpr int kStepError = 61456;         // "Error data Value, ..."
constexpr int kCaution = 61458;           // "Caution"
constexpr int kAskToSave = 61700;         // "Save changes to %1?"
constexpr int kCannotOpen = 61701;        // "Cannot open %1.\n%2"
constexpr int kCannotSave = 61702;        // "Cannot save %1.\n%2"
constexpr int kAllFilesFilter = 61704;    // "All Files (*)"
constexpr int kOpenTitle = 61705;         // "Open"
constexpr int kSaveAsTitle = 61706;       // "Save As"
constexpr int kNotAFile = 61730;          // why a folder, device, pipe or socket is no file to open or save
constexpr int kButtonOk = 61710;
constexpr int kButtonCancel = 61711;
constexpr int kButtonRetry = 61712;
constexpr int kButtonYes = 61713;
constexpr int kButtonNo = 61714;
constexpr int kButtonSave = 61715;
constexpr int kButtonDiscard = 61716;
// Editing of the channels.
constexpr int kUndoStepText = 61800;      // "&Undo %1"
constexpr int kRedoStepText = 61801;      // "&Redo %1"
constexpr int kStepNameFirst = 61802;     // 61802 + EditKind: "Rx Frequency", ... "Move"
constexpr int kPasteRefused = 61820;      // "Nothing was pasted. These cells are refused:"
constexpr int kClipboardNoChannels = 61821;
constexpr int kImportTitle = 61822;       // "Import Channels"
constexpr int kExportTitle = 61823;       // "Export Channels"
constexpr int kChansetCsvFilter = 61824;  // "Chanset table (*.csv)"
constexpr int kChirpCsvFilter = 61825;    // "CHIRP CSV (*.csv)"
constexpr int kCsvFilesFilter = 61826;    // "CSV files (*.csv)"
constexpr int kCannotImport = 61827;      // "Cannot import %1.\n%2"
constexpr int kImportNoRows = 61828;      // "%1 holds no channel rows."
constexpr int kImportSummary = 61829;     // "%1 of %2 rows ..."
constexpr int kImportRenumber = 61830;    // "&Renumber: ..."
constexpr int kImportLine = 61831;        // "Line"
constexpr int kImportChannel = 61832;     // "CH"
constexpr int kImportResult = 61833;      // "Refused" column / notes title
constexpr int kImportNotes = 61834;       // "Notes"
constexpr int kImportRefusedMark = 61835; // "Refused: %1"
constexpr int kImportFileFormat = 61836;  // "%1, read as %2"
constexpr int kExportNotes = 61837;       // "%1 was written. ...:\n%2"
constexpr int kImportTooLarge = 61838;    // "%1 is too large ..."
constexpr int kImportNoChannel = 61839;   // "-" for a row without a target channel
constexpr int kNotInList = 61920;         // a choice that is not in its column's list
constexpr int kImportFileNotes = 61921;   // "About the whole file: %1"

// Menus, accelerators, toolbar, icons, cursor, bitmap, dialogs.
constexpr int kMainMenu = 128;            // no document window
constexpr int kDocMenu = 129;             // a document window exists
constexpr int kAccelerators = 128;
constexpr int kToolbar = 128;
constexpr int kMainIcon = 128;
constexpr int kDocIcon = 129;
constexpr int kCloseIcon = 131;
constexpr int kResizeCursor = 132;
constexpr int kBackgroundBitmap = 137;
constexpr int kAboutDialog = 100;
constexpr int kChannelForm = 101;
constexpr int kBarDialog = 130;
constexpr int kProcessDialog = 131;
constexpr int kOptionalFeaturesDialog = 132;
constexpr int kLanguageDialog = 134;
constexpr int kProductInfoDialog = 136;
constexpr int kPowerAdjustDialog = 138;
constexpr int kPortSettingDialog = 144;

// Commands.
constexpr int kFileNew = 57600;
constexpr int kFileOpen = 57601;
constexpr int kFileClose = 57602;
constexpr int kFileSave = 57603;
constexpr int kFileSaveAs = 57604;
constexpr int kFilePrintSetup = 57606;
constexpr int kFilePrint = 57607;
constexpr int kFilePrintDirect = 57608;
constexpr int kFilePrintPreview = 57609;
constexpr int kAppAbout = 57664;
constexpr int kAppExit = 57665;
constexpr int kNextPane = 57680;
constexpr int kPrevPane = 57681;
constexpr int kViewToolbar = 59392;
constexpr int kViewStatusBar = 59393;
constexpr int kRead = 32773;
constexpr int kWrite = 32774;
constexpr int kComSetup = 32777;
constexpr int kControlBar = 32780;
constexpr int kProductInfo = 32786;
constexpr int kChannelInfo = 32787;
constexpr int kOptionalFeatures = 32788;
constexpr int kLanguage = 32799;

// Commands added to the original set take their numbers from 32800 to
// 32889, in order, each with its menu item, prompt string (and accelerator
// or toolbar button) in every language pack; platform/CommandRegistry.h tells
// how to add one. Numbers 32890 to 32899 are commands that no menu shows.

// Editing of the channels: the Edit menu's first items, the grid's context
// menu, and File's import and export of channel tables.
constexpr int kEditUndo = 32800;
constexpr int kEditRedo = 32801;
constexpr int kEditCut = 32802;
constexpr int kEditCopy = 32803;
constexpr int kEditPaste = 32804;
constexpr int kEditDelete = 32805;
constexpr int kEditMoveUp = 32806;
constexpr int kEditMoveDown = 32807;
constexpr int kFileImportChannels = 32808;
constexpr int kFileExportChannels = 32809;

// Program -> Compare with Radio; Setup -> Verify After Write (a check mark).
constexpr int kCompareWithRadio = 32830;
constexpr int kVerifyAfterWrite = 32831;

// Texts of the backups, the compare with the radio and the check after a
// write.
constexpr int kCompareTitle = 61900;         // "Compare with Radio" (dialog and progress caption)
constexpr int kCompareSame = 61901;          // the radio holds what the document holds
constexpr int kCompareDiffers = 61902;       // "%1 differences ..." over the lines
constexpr int kVerifyCaption = 61903;        // progress caption during the read-back
constexpr int kVerifyDiffers = 61904;        // written, but the radio holds other data: "%1" the lines
constexpr int kVerifyNotVerified = 61905;    // written but not verified: "%1" the reason
constexpr int kVerifyCancelled = 61906;      // written but not verified: the read-back was cancelled
constexpr int kVerifyPassed = 61907;         // status bar: written and verified
constexpr int kBackupStored = 61908;         // status bar: "%1" the backup file

// Files that could not be written or opened.
constexpr int kRegistryNotWritten = 61910;   // Com Setup: "%1" why the port map could not be saved
constexpr int kTraceRefused = 61911;         // status bar: CHANSET_TRACE not written, "%1" why
constexpr int kTraceStopped = 61912;         // status bar: "%1" the trace, "%2" why, "%3" lines lost

// Program -> Write to Several Radios; Help -> Write Log.
constexpr int kWriteSeveralRadios = 32840;
constexpr int kWriteLog = 32841;

// Texts of the batch of radios, the write log and the cable offered for a
// port that leads nowhere.
constexpr int kBatchTitle = 61940;           // "Write to Several Radios"
constexpr int kBatchColumnDevice = 61941;    // "Device"
constexpr int kBatchColumnUsb = 61942;       // "Cable"
constexpr int kBatchColumnPort = 61943;      // "Port"
constexpr int kBatchColumnState = 61944;     // "State"
constexpr int kBatchStart = 61945;           // "&Start"
constexpr int kBatchClose = 61946;           // "&Close"
constexpr int kBatchReady = 61947;           // "ready"
constexpr int kBatchCannotOpen = 61948;      // "cannot be opened: %1"
constexpr int kBatchNoDevice = 61949;        // no serial device is plugged in
constexpr int kBatchIntro = 61950;           // "Writes %1 to every checked radio at once."
constexpr int kBatchIntroVerify = 61951;     // the same, each read back and compared
constexpr int kBatchSummary = 61952;         // "%1 of %2 radios written."
constexpr int kResultWritten = 61953;        // "written"
constexpr int kResultVerified = 61954;       // "verified"
constexpr int kResultDiffers = 61955;        // "differs: %1"
constexpr int kResultNotVerified = 61956;    // "written, not verified: %1"
constexpr int kResultNoAnswer = 61957;       // "no answer"
constexpr int kResultCablePulled = 61958;    // "cable pulled"
constexpr int kResultCancelled = 61959;      // "cancelled"
constexpr int kResultCannotOpen = 61960;     // "cannot open the port: %1"
constexpr int kResultInterrupted = 61961;    // "interrupted at block %1"
constexpr int kBatchWriting = 61962;         // progress bar text while writing
constexpr int kBatchVerifying = 61963;       // progress bar text while reading back
constexpr int kWriteLogTitle = 61964;        // "Write Log"
constexpr int kWriteLogColumnFirst = 61965;  // 61965..61972: the log's eight columns
constexpr int kWriteLogEmpty = 61973;        // nothing written yet: "%1" the log file
constexpr int kWriteLogUnreadable = 61974;   // "Cannot read the write log %1.\n%2"
constexpr int kAskUseCable = 61975;          // "Use %1 (%2) as %3?"
constexpr int kWriteLogFailed = 61976;       // status bar: the write could not be recorded: "%1" why
constexpr int kWriteLogSkipped = 61977;      // how many lines of the log cannot be read: "%1"
constexpr int kBatchUnplugged = 61978;       // "unplugged"
constexpr int kBatchVerified = 61979;        // " %1 of them verified." (follows the summary)

// Why a port cannot be used, shown under its message by the window and the
// command line alike (the core carries them, platform/PackStrings.h). %1 is
// the device; %2 and %3 the other program and its process id; %4 its lock
// file.
constexpr int kPortNoPermission = 62010;
constexpr int kPortAbsent = 62011;
constexpr int kPortBusy = 62012;          // the other program is not known
constexpr int kPortBusyBy = 62013;        // it has the device open
constexpr int kPortLockedBy = 62014;      // it holds the device's lock file
constexpr int kPortNotSerial = 62015;     // no terminal device at all
constexpr int kPortIsTerminal = 62016;    // a terminal, console or the program's own
constexpr int kPortLost = 62017;          // the device went away during a transfer
// A signal ended a transfer or the program. %1 is the signal's name.
constexpr int kStoppedBySignal = 62018;   // chanset-cli, after the transfer
constexpr int kClosingOnSignal = 62019;   // Chanset, on standard error
constexpr int kUnsavedKept = 62020;       // %1 the document, %2 the backup file
constexpr int kUnsavedNotKept = 62021;    // %1 the document, %2 why not

// What screen readers are told: the name of an in-place editor of the
// channel grid ("Rx Frequency, channel 3") and of the power table
// ("Low Power, 400-409 MHz"), and the progress of a transfer.
constexpr int kEditorName = 61980;           // "%1, channel %2"
constexpr int kTransferProgressName = 61981; // "%1 of %2 rows"
constexpr int kPowerEditorName = 61982;      // "%1, %2 MHz"

// The navigation tree's Power Adjustment action (no menu item, no prompt).
constexpr int kPowerAdjustment = 32890;

}  // namespace ids
