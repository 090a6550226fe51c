#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace ui {

// Every modal box the window shows goes through here, so tests can record
// them instead of blocking on them.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal box captioned "ROM Glitchforge 6.0" with the text, an OK button
  // only and no icon. "\r\n" in the text is a line break.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;

  // --- The window's one file-open dialog --------------------------------
  // Its properties last from one show to the next, as those of a dialog
  // component do: set fileName and filterIndex, show it, read fileName and
  // fileTitle back.
  //
  // Shows it modally over kOpenFilter with entry filterIndex (counted from 1)
  // preselected and fileName in its name box, with no title and no initial
  // directory; kDefaultExtension is added to a typed name without one. When a
  // file is chosen, sets fileName to its full name and fileTitle to its bare
  // name and returns true. A cancel returns false and changes neither. The
  // base shows nothing and reports a cancel.
  virtual bool ShowOpen(QWidget* parent);

  QString fileName;   // full name: directory and file
  QString fileTitle;  // bare name: file name and extension only
  int filterIndex = 1;

  // --- The patch dialogs of Export and Import ------------------------------
  struct PatchChoice {
    QString fileName;
    bool bpsEntry = false;  // the "BPS Patches" entry was in use
  };
  // A save dialog over kPatchFilter proposing `proposed`, its entry chosen by
  // the proposal's extension. nullopt when the user cancels. The base cancels.
  virtual std::optional<PatchChoice> ShowSavePatch(QWidget* parent, const QString& proposed);
  // An open dialog for a patch in `folder`; nullopt when the user cancels.
  virtual std::optional<QString> ShowOpenPatch(QWidget* parent, const QString& folder);
};

// The real boxes.
class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  bool ShowOpen(QWidget* parent) override;
  std::optional<PatchChoice> ShowSavePatch(QWidget* parent, const QString& proposed) override;
  std::optional<QString> ShowOpenPatch(QWidget* parent, const QString& folder) override;
};

inline constexpr const char* kApplicationTitle = "ROM Glitchforge 6.0";

// The file-open dialog's filter list: a description and its patterns in
// turn, separated by "|"; patterns separated by ";".
inline constexpr const char* kOpenFilter =
    "Executable Files|*.exe;*.com;*.bat|ROM Files|*.nes;*.fds;*.fam;*.ffe;*.nez;*.smc;*.sfc;"
    "*.swc;*.fig;*.058;*.001;*.bin;*.smd;*.gg;*.sms;*.gb;*.gbc;*.tap;*.tzx;*.z80;*.rom;*.v64;"
    "*.z64;*.iso;*.dka;*.dkb;*.dkc;*.dkd;*.dsk;*.po;*.do;*.st?|All Files|*.*";
// The Export dialog's entries, IPS first.
inline constexpr const char* kIpsPatches = "IPS Patches (*.ips)";
inline constexpr const char* kBpsPatches = "BPS Patches (*.bps)";

// Added by the dialog to a typed name that has no extension.
inline constexpr const char* kDefaultExtension = "NES";

// The filter list as Qt's name filters, "Description (*.a *.A)". Each
// pattern is given in lower and upper case, since the dialog may match case
// exactly. Off Windows "*.*" becomes "*", which also matches names without a
// dot, and the programs entry is "*" as well: the dialog then lists the files
// the user may execute, and adds no extension to a program's name.
QStringList NameFilters(const QString& filter);

}  // namespace ui
