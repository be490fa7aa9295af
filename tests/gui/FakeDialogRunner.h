// A dialog runner for tests: records every dialog asked for and answers from a script,
// on the next Poll, as a real dialog answers some time after it was started.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "gui/DialogRunner.h"

namespace tesmora6 {

class TFakeDialogRunner final : public TDialogRunner {
 public:
  struct TAsked {
    std::string kind;  // "text", "yesno", "message", "open", "save"
    std::string title;
    std::string text;     // prompt, question or message
    std::string initial;  // pre-filled name
    TFileDialogRequest file;
  };
  // The scripted answers, used in order: a text (nullopt = cancelled) or a yes/no.
  std::deque<std::variant<std::optional<std::string>, bool>> answers;
  std::vector<TAsked> asked;

  bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
               TTextAnswer answer) override {
    if (Busy()) return false;
    asked.push_back({"text", title, prompt, initial, {}});
    pending_ = [this, answer] { answer(NextText()); };
    return true;
  }
  bool AskYesNo(const std::string& title, const std::string& question, TYesNoAnswer answer) override {
    if (Busy()) return false;
    asked.push_back({"yesno", title, question, "", {}});
    pending_ = [this, answer] {
      bool yes = false;
      if (!answers.empty()) {
        yes = std::get<bool>(answers.front());
        answers.pop_front();
      }
      answer(yes);
    };
    return true;
  }
  bool ShowMessage(const std::string& title, const std::string& text, TDoneAnswer done) override {
    if (Busy()) return false;
    asked.push_back({"message", title, text, "", {}});
    pending_ = [done] {
      if (done) done();
    };
    return true;
  }
  bool ChooseFile(const TFileDialogRequest& request, TTextAnswer answer) override {
    if (Busy()) return false;
    asked.push_back({request.save ? "save" : "open", request.title, "", "", request});
    const std::string extension = request.save ? request.defaultExtension : "";
    pending_ = [this, answer, extension] {
      auto path = NextText();
      if (path) path = WithDefaultExtension(*path, extension);
      answer(path);
    };
    return true;
  }
  bool Busy() const override { return static_cast<bool>(pending_); }
  void Poll() override {
    if (!pending_) return;
    auto run = std::move(pending_);
    pending_ = nullptr;
    run();
  }
  void Cancel() override { pending_ = nullptr; }
  // Polls until no dialog is open (the scripted answers may open further dialogs).
  void AnswerAll() {
    for (int guard = 0; guard < 100 && Busy(); ++guard) Poll();
  }

 private:
  std::optional<std::string> NextText() {
    if (answers.empty()) return std::nullopt;
    auto a = std::get<std::optional<std::string>>(answers.front());
    answers.pop_front();
    return a;
  }
  std::function<void()> pending_;
};

}  // namespace tesmora6
