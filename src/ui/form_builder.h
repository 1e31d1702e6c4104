#pragma once
// The one small helper every window builds its layout with: named controls, and a grid of
// "label | field | unit" rows inside a widget or group box.
#include <QString>
#include <utility>

class QWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QToolBar;
class QGroupBox;
class QGridLayout;
class QCheckBox;
class QRadioButton;
class QComboBox;
class QVBoxLayout;

namespace lumerad::form {

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, const QString& hint = {});
QLineEdit* output(QWidget* parent, const char* name, const QString& hint = {});  // read-only result
QLabel* label(QWidget* parent, const QString& text, const char* name = nullptr, const QString& hint = {});
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint = {});
QToolButton* toolButton(QToolBar* bar, const char* name, const QString& caption, const QString& hint = {});
QGroupBox* group(QWidget* parent, const QString& title, const char* name = nullptr, const QString& hint = {});
QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool on,
                 const QString& hint = {});
QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, bool on,
                    const QString& hint = {});
QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, const QString& hint = {});

// The widget keeps its place in the layout when it is hidden, so that nothing around it moves.
void keepPlaceWhenHidden(QWidget* w);

// Two columns side by side, added below what top already holds: (left, right).
std::pair<QVBoxLayout*, QVBoxLayout*> columns(QVBoxLayout* top);
// The coherent-radiation look: a maroon window whose group boxes are light-yellow panels
// with white titles (a group inside a panel keeps a maroon title on the yellow).
void maroonPanels(QWidget* window);

// Rows of label | field | unit on a grid layout installed on host.
class Rows {
public:
    explicit Rows(QWidget* host);
    // Adds a row; unit may be empty. unitName names the unit label (for labels whose text
    // the window rewrites, like a prefix + "eV"; such a label keeps space for a one-letter
    // prefix). Returns the unit label (or nullptr).
    QLabel* add(const QString& labelText, QWidget* field, const QString& unit = {},
                const char* unitName = nullptr);
    void addWide(QWidget* w);  // one widget across all columns
    QGridLayout* grid() { return grid_; }

private:
    QGridLayout* grid_;
    int row_ = 0;
};

}  // namespace lumerad::form
