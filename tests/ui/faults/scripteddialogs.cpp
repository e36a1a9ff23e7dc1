#include "tests/ui/faults/scripteddialogs.h"

namespace quorvex {

std::optional<QString> ScriptedDialogs::ChooseSourceFile(QWidget*) {
    if (answers.isEmpty()) {
        return std::nullopt;
    }
    return answers.takeFirst();
}

void ScriptedDialogs::ShowProblem(QWidget*, const QString& title, const QString& text) {
    problems.append(title + QLatin1Char('\n') + text);
}

}  // namespace quorvex
