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
constexpr int kButtonOk = 61710;
constexpr int kButtonCancel = 61711;
constexpr int kButtonRetry = 61712;
constexpr int kButtonYes = 61713;
constexpr int kButtonNo = 61714;
constexpr int kButtonSave = 61715;
constexpr int kButtonDiscard = 61716;

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
// or toolbar button) in every language pack; app/CommandRegistry.h tells
// how to add one. Numbers 32890 to 32899 are commands that no menu shows.

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
constexpr int kMoreLines = 61909;            // "... and %1 more"

// The navigation tree's Power Adjustment action (no menu item, no prompt).
constexpr int kPowerAdjustment = 32890;

}  // namespace ids
