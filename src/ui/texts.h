#pragma once
// Texts between the core, which speaks std::string, and the controls, which speak QString.
#include <QLineEdit>
#include <QString>
#include <string>

namespace lumerad {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// The text of a field as the core reads it.
inline std::string fieldText(const QLineEdit* e) { return e->text().toStdString(); }

}  // namespace lumerad
