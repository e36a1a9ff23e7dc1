#include "tests/ui/testing/scripteddialogs.h"

namespace quorvex {

std::optional<QString> ScriptedDialogs::ChooseSourceFile(QWidget*) {
    if (whileChoosing) {
        whileChoosing();
    }
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    if (answer.isNull()) {
        return std::nullopt;
    }
    return answer;
}

void ScriptedDialogs::ShowProblem(QWidget*, const QString& title, const QString& text) {
    problems.append(title + QLatin1Char('\n') + text);
}

}  // namespace quorvex
