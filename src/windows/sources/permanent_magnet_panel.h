#pragma once
// The magnet inputs the wiggler and the undulator window share. A permanent magnet ("Yes")
// shows the panel pnPerMag with its type (MagTyp) and the gap of the source record, and
// the peak field the gap gives (fldmax); an electromagnet ("No") shows the field box
// Wfield instead. The window places the pieces in its own layout and says what a change of
// the choice means to it.
#include <QString>
#include <functional>

#include "ui/form_builder.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace lumerad {

class DBEdit;
class Table;
class ToolWindow;

class PermanentMagnetPanel {
public:
    // bbYes and bbNo in a row, then pnPerMag with the magnet type, added to lay in box. The
    // type is a read-only field (typeAsField) or a label. changed runs after either button.
    PermanentMagnetPanel(ToolWindow& window, QWidget* box, QVBoxLayout* lay, bool typeAsField,
                         std::function<void()> changed);

    // Wfield (with its design text "1.0" and hint) and fldmax side by side, in a new child
    // of parent that the window lays out.
    QWidget* makeField(QWidget* parent, const QString& hint);
    // The gap of src in a row of pnPerMag under the type, and the note on its validity.
    DBEdit* addGap(Table& src, ToolWindow& window, const QString& label, const QString& hint,
                   const QString& note);

    // The inputs of a permanent magnet (the gap panel and fldmax) or of an electromagnet
    // (the field box).
    void showKind(bool permanent);
    // After a recalculation: a permanent magnet shows its panel, unless the user opened the
    // field box with "No"; an electromagnet shows the field box.
    void followMagnet(bool permanent);
    // The field of the source record, in fldmax, instead of the field box (another source
    // was picked, or the window starts).
    void showPeakField();

    QLineEdit* field() const { return Wfield_; }
    QLabel* peakField() const { return fldmax_; }
    QWidget* magnetType() const { return magTyp_; }

private:
    QPushButton* bbYes_ = nullptr;
    QPushButton* bbNo_ = nullptr;
    QWidget* pnPerMag_ = nullptr;
    QWidget* magTyp_ = nullptr;
    QLineEdit* Wfield_ = nullptr;
    QLabel* fldmax_ = nullptr;
    form::Rows rows_;
};

}  // namespace lumerad
