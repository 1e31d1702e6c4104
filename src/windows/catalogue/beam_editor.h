#pragma once
// What the two beam editors share: the configurations of their table in a grid with a
// navigator, the current one in bound fields (DBEdt + field name, "/" as "_"), the buttons
// that accept it (bbAccept, and the one that also closes), add a new one and show the help
// text, which a double click hides again. Opening an editor closes the other beam table,
// so the current beam is always of one kind.
#include <QStringList>
#include <utility>
#include <vector>

#include "ui/tool_window.h"

class QHBoxLayout;
class QPlainTextEdit;
class QVBoxLayout;

namespace lumerad {

class DBEdit;
class Table;

namespace form {
class Rows;
}

class BeamEditor : public ToolWindow {
    Q_OBJECT
protected:
    // singlePass: the editor of SnglBeam (else of CircBeam).
    BeamEditor(AppContext& ctx, const char* className, const QString& caption, bool singlePass,
               QWidget* parent = nullptr);

    Table& table() const;
    // A field of the current configuration in a row of rows.
    DBEdit* addField(QWidget* host, form::Rows& rows, const QString& label, const char* field,
                     const QString& unit, const QString& hint = {});
    // The grid of the configurations with its columns (field, title) and minimum height.
    QWidget* makeGrid(QWidget* parent, const char* name,
                      const std::vector<std::pair<const char*, QString>>& columns, int minHeight);
    QWidget* makeNavigator(QWidget* parent);
    // The accept, accept-and-close and help buttons in a row.
    QHBoxLayout* makeButtons(QWidget* parent, const QString& acceptCaption, const QString& acceptHint,
                             const char* closeName, const char* helpName);
    // The button that adds a new configuration.
    QWidget* makeNewButton(QWidget* parent, const char* name, const QString& caption);
    // The help text, hidden until the help button shows it.
    QWidget* makeHelp(QWidget* parent, const char* name, const QStringList& lines, int minHeight);

    void formActivate() override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // Posts what was typed, recalculates the current record into the current-beam state
    // and tells the main window which kind of beam it now has.
    void accept();
    void newConfiguration();

    bool singlePass_;
    QPlainTextEdit* help_ = nullptr;
};

}  // namespace lumerad
