#include "uninstall/UninstallTexts.h"

#include <vector>

namespace setup::uninstall {
namespace {

using app::DialogKind;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\r\n" + line;
    }
    return text;
}

}  // namespace

app::MessageDialog UnknownArgumentsMessage(std::span<const std::string> arguments) {
    std::string text = "Unbekannter Aufruf:";
    for (const std::string& argument : arguments) {
        text += " " + argument;
    }
    return app::MakeMessageDialog(text +
                                      "\r\n\r\nDie Deinstallation kennt nur den Parameter "
                                      "/TEST. Es wurde nichts entfernt.",
                                  DialogKind::Error, app::kButtonOk, kUninstallTitle);
}

app::MessageDialog RemoveQuestion(std::string_view programName) {
    return app::MakeMessageDialog("M\366chten Sie das Programm " + std::string(programName) +
                                      " mit allen seinen Komponenten von Ihrem Computer entfernen?",
                                  DialogKind::Confirmation, app::kButtonYes | app::kButtonNo,
                                  kUninstallTitle);
}

app::MessageDialog LogErrorMessage(const LogReadResult& result, std::string_view logPath) {
    std::string text = "Die Deinstallationsdatei " + std::string(logPath);
    switch (result.problem) {
        case LogProblem::Missing:
            text += " wurde nicht gefunden.";
            break;
        case LogProblem::InvalidEntry:
            text += " enth\xE4lt einen unzul\xE4ssigen Eintrag:\r\n" + result.entry;
            break;
        case LogProblem::Damaged:
        case LogProblem::None:
            text += " ist unvollst\xE4ndig oder besch\344digt.";
            break;
    }
    text += "\r\n\r\nEs wurde nichts entfernt.";
    return app::MakeMessageDialog(text, DialogKind::Error, app::kButtonOk, kUninstallTitle);
}

app::MessageDialog ResultMessage(std::string_view programName, const UninstallOutcome& outcome,
                                 bool testMode) {
    const std::string name(programName);
    if (testMode) {
        return app::MakeMessageDialog(
            "Testmodus: Es wurde nichts ver\xE4ndert. Die Deinstallation von " + name +
                " w\xFCrde:" +
                (outcome.actions.empty() ? "\r\nnichts \xE4ndern" : Lines(outcome.actions)),
            DialogKind::Information, app::kButtonOk, kUninstallTitle);
    }
    if (outcome.Complete()) {
        return app::MakeMessageDialog(
            "Das Programm " + name + " wurde vollst\xE4ndig von Ihrem Computer entfernt.",
            DialogKind::Information, app::kButtonOk, kUninstallTitle);
    }
    std::string text = "Das Programm " + name +
                       " wurde entfernt. Folgendes ist noch vorhanden:\r\n" + Lines(outcome.stayed);
    if (outcome.retryNeeded) {
        text +=
            "\r\n\r\nDie Deinstallation bleibt eingerichtet. Schlie\337en Sie alle Programme und "
            "starten Sie sie erneut, um den Rest zu entfernen.";
    }
    return app::MakeMessageDialog(text, DialogKind::Warning, app::kButtonOk, kUninstallTitle);
}

}  // namespace setup::uninstall
