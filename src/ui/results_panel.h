#pragma once
// The results of a window: the controls that show the core's ResultFields, by the field's
// objectName, each with the unit label beside it when a prefix makes that label change.
// show() writes a calculation's fields into them (text into the control, shownUnit into its
// unit label); a field the window does not show is skipped.
#include <QString>
#include <map>
#include <string>

#include "core/numerics/result_field.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace lumerad {

namespace form {
class Rows;
}

class ResultsPanel {
public:
    // A read-only field named `name` in a row of rows, wide enough for "-0.000E+000"; with
    // unitName its unit label shows the prefixed unit of the results.
    QLineEdit* addField(form::Rows& rows, QWidget* host, const char* name, const QString& label,
                        const QString& unit = {}, const char* unitName = nullptr);
    // A control (line edit or label) that shows the result `name`, and its unit label if any.
    void add(const std::string& name, QWidget* shows, QLabel* unit = nullptr);

    void show(const ResultFields& fields) const;
    // Every control emptied, every unit label back to the unit it showed at first.
    void clear() const;

    QWidget* control(const std::string& name) const;
    QLabel* unitLabel(const std::string& name) const;

private:
    struct Entry {
        QWidget* shows = nullptr;
        QLabel* unit = nullptr;
        QString designUnit;
    };
    std::map<std::string, Entry> entries_;
};

// Writes text into a line edit or a label.
void setShownText(QWidget* w, const QString& text);
// Makes w wide enough for sample in its font, plus pad pixels.
void fitWidth(QWidget* w, const QString& sample, int pad);

}  // namespace lumerad
