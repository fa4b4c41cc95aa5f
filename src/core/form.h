#pragma once

#include <string>

#include "core/grid.h"

namespace bs {

// The controls of the main window as plain data.  Commands read and write them exactly as the
// window's handlers do; the Qt window only renders the Form and writes the user's edits back, so
// every command runs headless.  Texts are bytes in the Thai code page Windows-874.
struct TextBox {
  std::string text;
  bool enabled = true;
};

struct Label {
  std::string caption;
  bool enabled = true;
};

struct PushButton {
  std::string caption;
  bool enabled = true;
};

struct RadioButton {
  std::string caption;
  bool checked = false;
  bool enabled = true;
};

// What a file dialog is set up with.  `filter` lists description|pattern pairs separated by '|'.
struct FileDialogSpec {
  const char* name;
  bool save;
  const char* filter;
  const char* defaultExt;  // empty: none
  bool overwritePrompt;
  bool hideReadOnly;
  bool resizable;
};

inline constexpr FileDialogSpec dlg1{
    "dlg1", false, "Text File (.txt)|*.txt|All File (*.*)|*.*", "", false, true, true};
inline constexpr FileDialogSpec sdlg{"sdlg", true, "Text (*.txt)|*.txt", "*.txt", true, true, true};
inline constexpr FileDialogSpec dlgZip{"dlgZip", true, "Zip File (*.zip)|*.zip", "*.zip", false,
                                       true,     true};

struct Form {
  std::string caption = "Batchseal 1.5.4";

  // Command bar.
  PushButton ToolButton2{"Exit "};
  PushButton ToolButton6{"       Batchseal       "};
  PushButton ToolButton7{"Report"};
  PushButton ToolButton8{"Clear Form"};
  PushButton Button1{"Calculate Tier Rate Report"};

  // Information.
  Label GroupBox1{"Information"};
  Label Label1{"File Name"};
  TextBox edtFileInput;
  PushButton btnOpenFile{"Open"};
  PushButton btnClearFile{"Clear"};
  Label GroupBox3{"Output File"};
  RadioButton rdoReplace{"Replace", true};
  RadioButton rdoNew{"New File", false};
  Label Label3{"New File Name"};
  TextBox edtNewFile{"", false};
  PushButton btnOpenNew{"Open", false};
  PushButton btnClearNew{"Clear", false};
  Label Label7{"Zip File Name"};
  TextBox edtZip;
  PushButton btnOpenZip{"Open"};
  PushButton btnClearZip{"Clear"};

  // Result.
  Label GroupBox4{"Result"};
  Label Label2{"Hash value"};
  TextBox edtHashvalue;
  Label Label5;  // title line of the grid
  Label Label4;  // red status line
  Grid StringGrid1;
  PushButton btnSaveError{"Save", false};
};

}  // namespace bs
