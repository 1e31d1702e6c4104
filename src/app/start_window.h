#pragma once
// The main window: the launcher of every tool. Four tool-bar rows of 145-pixel buttons:
//
//   row 1 (ToolBar1, pictures, 35 px high, hints only): picBtCB, picBtSPB, picBessel, picFF, picClse
//   row 2 (ToolBar2, texts, 25 px high):                BtCB, BtSPB, Bessel, FF, Clse
//   row 3 (ToolBar3, pictures, hidden at start):        picBendM, picWiggler, picUnd, picTR
//   row 4 (ToolBar4, texts, hidden at start):           BendM, Wiggler, Und, TR
//
// Each text button sits under the picture button that calls the same handler. The form-factor
// and transition-radiation buttons start disabled; accepting a beam in a beam editor shows rows
// 3 and 4 and enables them (single-pass beam) or disables them (circulating beam). Creating the
// window loads DATA.TXT into the session's table of tabulated functions.
#include <QString>
#include <optional>

#include "ui/tool_window.h"

class QAbstractButton;
class QWidget;

namespace lumerad {

class TfStart : public ToolWindow {
    Q_OBJECT
public:
    // dataFile: DATA.TXT to load; unset: looked up in the usual places (findDataFile).
    explicit TfStart(AppContext& ctx, const std::optional<QString>& dataFile = std::nullopt,
                     QWidget* parent = nullptr);

    // Table switches: circulating-beam mode and single-pass mode.
    void CB();
    void SB();
    void FormCreate();
    // Handlers of the buttons (run through the action runner by the buttons).
    void BtCBClick();
    void BtSPBClick();
    void BendMClick();
    void WigglerClick();
    void UndClick();
    void TRClick();
    void FFClick();
    void BesselClick();
    void ClseClick();

    // Before the program ends: posts what the user typed into the tables. A post that is
    // refused asks whether to end anyway (the change is then discarded); false: keep running.
    bool keepEdits();

    // What the beam editors change: rows 3 and 4 shown; the form-factor and
    // transition-radiation buttons of every row enabled (single-pass) or disabled.
    void beamAccepted(bool singlePass);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* row(const char* name, bool pictures, bool visible);
    QAbstractButton* pictureButton(QWidget* row, const char* name, int icon, const QString& hint,
                                   void (TfStart::*handler)());
    QAbstractButton* textButton(QWidget* row, const char* name, const QString& caption, const QString& hint,
                                void (TfStart::*handler)());
    void setSourceKind(QWidget* window, const char* kind);
    void openSources(WindowId id, const char* kind);

    std::optional<QString> dataFile_;
    bool exiting_ = false;
    QWidget* rows_[4] = {};
    QAbstractButton* coherent_[4] = {};  // picFF, FF, picTR, TR
};

}  // namespace lumerad
