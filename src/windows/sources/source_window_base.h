#pragma once
// The editing workflow every source window shares: a recalculate button in the tool bar
// whose caption shows whether the results are stale (red, size 14, raised) or fresh
// (green, size 14, flat), a filter selector with an apply button that selects the sources
// of one kind, a beam panel that opens the beam editor, and an exit button.
#include <QFrame>
#include <QStringList>

#include "ui/tool_window.h"

class QComboBox;
class QPushButton;
class QToolBar;
class QToolButton;

namespace lumerad {

// A panel that reports a click anywhere on it (its labels let the click through).
class ClickPanel : public QFrame {
    Q_OBJECT
public:
    explicit ClickPanel(QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

class SourceWindow : public ToolWindow {
    Q_OBJECT
public:
    // Colour values of the stale marker (red in the low byte).
    static constexpr int kStaleColour = 255;
    static constexpr int kFreshColour = 32768;
    static constexpr int kMarkerSize = 14;

    SourceWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent = nullptr);

    // The results no longer match the inputs / the results are fresh.
    void markStale();
    void markFresh();
    bool stale() const { return stale_; }

    // The window's recalculation; tbRecalc runs it through the action runner.
    virtual void recalculate() = 0;
    // Any input change.
    virtual void Change() { markStale(); }
    // bbApply: select the sources of the kind in coFilter.
    virtual void bbApplyClick();
    // PnlBemPar: the beam editor.
    virtual void PnlBemParClick();

protected:
    // Builders for the window's layout.
    QToolBar* makeToolBar();  // with tbRecalc ("recalculate"); the window adds its own buttons
    QToolButton* addExitButton(QToolBar* bar);  // tbExit ("exit"), closes the window
    // coFilter with the source kinds and bbApply ("apply") side by side.
    QWidget* makeFilterSelector(QWidget* parent, const QString& hint,
                                const QStringList& kinds = {"Und", "Wig", "Bend", "TR", "All"});
    // PnlBemPar, titled "beam parameter"; the window fills in the bound beam fields.
    ClickPanel* makeBeamPanel(QWidget* parent);

    QToolButton* tbRecalc_ = nullptr;
    QComboBox* coFilter_ = nullptr;
    QPushButton* bbApply_ = nullptr;
    ClickPanel* pnlBemPar_ = nullptr;

private:
    void setMarker(int colour, bool flat);
    bool stale_ = false;
};

}  // namespace lumerad
