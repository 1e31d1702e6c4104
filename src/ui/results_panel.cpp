#include "ui/results_panel.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/form_builder.h"
#include "ui/texts.h"

namespace lumerad {

void setShownText(QWidget* w, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

void fitWidth(QWidget* w, const QString& sample, int pad) {
    w->setMinimumWidth(w->fontMetrics().horizontalAdvance(sample) + pad);
}

QLineEdit* ResultsPanel::addField(form::Rows& rows, QWidget* host, const char* name, const QString& label,
                                  const QString& unit, const char* unitName) {
    auto* e = form::output(host, name);
    // space for the longest text ("-1.234E-05", "12.345") so no number is ever cut
    fitWidth(e, QStringLiteral("-0.000E+000"), 16);
    QLabel* u = rows.add(label, e, unit, unitName);
    add(name, e, unitName ? u : nullptr);
    return e;
}

void ResultsPanel::add(const std::string& name, QWidget* shows, QLabel* unit) {
    entries_[name] = Entry{shows, unit, unit ? unit->text() : QString()};
}

void ResultsPanel::show(const ResultFields& fields) const {
    for (const ResultField& f : fields) {
        auto it = entries_.find(f.name);
        if (it == entries_.end()) continue;
        setShownText(it->second.shows, qs(f.text));
        if (it->second.unit) it->second.unit->setText(qs(f.shownUnit));
    }
}

void ResultsPanel::clear() const {
    for (const auto& [name, e] : entries_) {
        setShownText(e.shows, QString());
        if (e.unit) e.unit->setText(e.designUnit);
    }
}

QWidget* ResultsPanel::control(const std::string& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.shows;
}

QLabel* ResultsPanel::unitLabel(const std::string& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.unit;
}

}  // namespace lumerad
