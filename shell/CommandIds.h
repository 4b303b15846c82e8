// Numeric identifiers of the program's commands. Menus, toolbars and keys share them, and the
// settings and tests name commands by them.
#pragma once

namespace kelvo::cmd {

// Bank file.
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int PageSetup = 57605;
inline constexpr int PrintSetup = 57606;
inline constexpr int PrintRecord = 57607;
inline constexpr int PreviewRecord = 57609;
inline constexpr int RecentFirst = 57616;
inline constexpr int RecentLast = 57631;
inline constexpr int AppExit = 57665;
inline constexpr int AppAbout = 57664;
inline constexpr int PrintStructure = 32835;
inline constexpr int PreviewStructure = 32836;
inline constexpr int BankProperties = 32870;

// Tree items.
inline constexpr int RenameItem = 32868;
inline constexpr int DeleteItem = 32773;
inline constexpr int ExpandItem = 32775;
inline constexpr int CollapseItem = 32774;
inline constexpr int ItemKeywords = 33014;
inline constexpr int ItemProperties = 32834;

// Records.
inline constexpr int AddRecord = 32830;
inline constexpr int SaveRecord = 32865;
inline constexpr int ExportRecord = 32866;
inline constexpr int ImportRecord = 32867;
inline constexpr int ImportRecords = 33017;

// Passwords.
inline constexpr int AddFolder = 32839;
inline constexpr int AddPassword = 32864;
inline constexpr int DeletePassword = 32869;
inline constexpr int PasswordProperties = 32863;

// Editing.
inline constexpr int Undo = 57643;
inline constexpr int Redo = 57644;
inline constexpr int Cut = 57635;
inline constexpr int Copy = 57634;
inline constexpr int Paste = 57637;
inline constexpr int PasteSpecial = 57639;
inline constexpr int PasteLink = 57638;
inline constexpr int SelectAll = 57642;
inline constexpr int Clear = 57632;
inline constexpr int Find = 57636;
inline constexpr int Replace = 57641;
inline constexpr int OleLinks = 57857;
inline constexpr int OleProperties = 57860;
inline constexpr int OleVerbs = 57872;
inline constexpr int InsertObject = 57856;
inline constexpr int InsertTextFile = 32872;
inline constexpr int InsertPicture = 32873;
inline constexpr int InsertDateTime = 32876;
inline constexpr int InsertDate = 32879;
inline constexpr int InsertTime = 32877;

// Format.
inline constexpr int FontDialog = 33777;
inline constexpr int ParagraphDialog = 32838;
inline constexpr int TextColourFirst = 32940;
inline constexpr int TextColourLast = 32955;
inline constexpr int BackColourFirst = 32960;
inline constexpr int BackColourLast = 32975;
inline constexpr int TextColourButton = 33779;
inline constexpr int BackColourButton = 33780;
inline constexpr int Bold = 32772;
inline constexpr int Italic = 32784;
inline constexpr int Underline = 32785;
inline constexpr int StrikeOut = 32776;
inline constexpr int AlignLeft = 32779;
inline constexpr int AlignCenter = 32780;
inline constexpr int AlignRight = 32781;
inline constexpr int Superscript = 32828;
inline constexpr int Subscript = 32829;
inline constexpr int Bullets = 32782;
inline constexpr int Numbering = 32832;
inline constexpr int FontNameBox = 32783;
inline constexpr int FontSizeBox = 32794;

// Tools.
inline constexpr int BankSearch = 32939;
inline constexpr int IndexInfo = 32937;
inline constexpr int BankCleanup = 32958;
inline constexpr int BankRevision = 32887;
inline constexpr int SetProtection = 32885;
inline constexpr int RemoveProtection = 32886;
inline constexpr int PasswordGenerator = 32881;
inline constexpr int ProgramOptions = 33776;
inline constexpr int KeyMap = 32871;

// View.
inline constexpr int ViewStandardBar = 59392;
inline constexpr int ViewFormatBar = 32804;
inline constexpr int ViewViewsBar = 32805;
inline constexpr int ViewBankBar = 32858;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int ViewRuler = 32900;
inline constexpr int ViewRecordsTab = 32902;
inline constexpr int ViewPasswordsTab = 32903;
/// The password list shows "********" for passwords (a command of this program's own).
inline constexpr int MaskPasswords = 33120;
inline constexpr int ViewLeftBar = 32801;
inline constexpr int ViewCalendar = 32875;
inline constexpr int WrapNone = 32976;
inline constexpr int WrapWindow = 32978;
inline constexpr int WrapPrinter = 32977;

// Tray.
inline constexpr int TrayRestore = 32880;

// Status-bar indicators.
inline constexpr int PanePosition = 59144;
inline constexpr int PaneBankModified = 59142;
inline constexpr int PaneRecordModified = 59143;
inline constexpr int PaneOverwrite = 59140;
inline constexpr int PaneCaps = 59137;
inline constexpr int PaneNum = 59138;

} // namespace kelvo::cmd
