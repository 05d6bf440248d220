#pragma once
// The user interface a remote command hands to a window handler that asks for input: the
// value input box and the file dialogs answer with the command's argument, so the handler runs
// unchanged. Boxes nobody can click are collected instead of shown; posting goes to the front.

#include <string>
#include <vector>

#include "measure/user_interface.h"

namespace veka {

class ArgumentUi : public UserInterface {
  public:
    ArgumentUi(UserInterface& front, std::string answer)
        : front_(front), answer_(std::move(answer)) {}

    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::string WertEingabe(const WertEingabeAnfrage&) override { return answer_; }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return answer_; }
    void showError(const std::string& text) override { errors.push_back(text); }
    void postToWindowThread(std::function<void()> task) override {
        front_.postToWindowThread(std::move(task));
    }
    void refreshWecken() override { front_.refreshWecken(); }

    std::vector<std::string> messages;
    std::vector<std::string> errors;

  private:
    UserInterface& front_;
    std::string answer_;
};

}  // namespace veka
