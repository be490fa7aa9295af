#include "gui/OverlayDialogRunner.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "gui/SPThemeGUI.h"

namespace tesmora6 {

namespace {

// The overlay: a "Lighter Surface" panel over the whole editor.
constexpr int32_t kSurfaceLighter = 1;
constexpr int32_t kLineHeight = 18;
constexpr int32_t kMargin = 24;
constexpr int32_t kLineChars = 90;   // a wrapped line of text
constexpr int32_t kFilesShown = 16;  // the first matching files, in name order
constexpr int32_t kButtonStyle = 1;  // "Medium Default Button", 56 x 16

// A label that answers a click.
class TOverlayItem final : public TSPThemeGUILabel {
 public:
  TOverlayItem(TSPThemeGUIControl* parent, std::function<void()> click)
      : TSPThemeGUILabel(parent), click_(std::move(click)) {}
  void Click() override {
    if (click_) click_();
  }

 private:
  std::function<void()> click_;
};

class TOverlayButton final : public TSPThemeGUIButton {
 public:
  TOverlayButton(TSPThemeGUIControl* parent, std::function<void()> click)
      : TSPThemeGUIButton(parent), click_(std::move(click)) {}
  void Click() override {
    if (click_) click_();
  }

 private:
  std::function<void()> click_;
};

// The text field: a light box with the text in black, highlighted while it is all
// selected, and a caret after it otherwise.
class TOverlayField final : public TSPThemeGUILabel {
 public:
  TOverlayField(TSPThemeGUIControl* parent, const std::string& text, const bool& selected)
      : TSPThemeGUILabel(parent), text_(text), selected_(selected) {}
  void Paint(TSPCanvas& canvas) override {
    const TSPRect r = Rect();
    canvas.FillRect(r, 0xF4F4F0);
    canvas.FrameRect(r, 0x202020);
    TSPFont font;
    font.face = "Tahoma";
    font.size = 9;
    font.color = selected_ ? 0xFFFFFF : 0x000000;
    canvas.SelectFont(font);
    const int32_t w = canvas.TextWidth(text_), h = canvas.TextHeight();
    const int32_t x = r.left + 4, y = r.top + (r.Height() - h) / 2;
    if (selected_ && !text_.empty()) canvas.FillRect(TSPRect::FromSize(x - 1, y, w + 2, h), 0x2F5F8F);
    canvas.TextOut(x, y, text_);
    if (!selected_) canvas.FillRect(TSPRect::FromSize(x + w + 1, y, 1, h), 0x000000);
    drawnRect = r;
  }

 private:
  const std::string& text_;
  const bool& selected_;
};

std::vector<std::string> Wrap(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  const auto flush = [&] {
    lines.push_back(line);
    line.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') continue;
    if (c == '\n') {
      flush();
      continue;
    }
    line += c;
    if (static_cast<int32_t>(line.size()) >= kLineChars) {
      const size_t space = line.find_last_of(' ');
      std::string rest;
      if (space != std::string::npos && space > 0) {
        rest = line.substr(space + 1);
        line.resize(space);
      }
      flush();
      line = rest;
    }
  }
  if (!line.empty()) flush();
  return lines;
}

bool Matches(const std::string& name, const std::string& pattern) {
  // The choosers' patterns are "*.ext".
  if (pattern.rfind("*.", 0) != 0) return true;
  const std::string ext = pattern.substr(1);
  if (name.size() < ext.size()) return false;
  return std::equal(ext.rbegin(), ext.rend(), name.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

TOverlayDialogRunner::TOverlayDialogRunner(TSPThemeGUIBody& body) : body_(body) {}

TOverlayDialogRunner::~TOverlayDialogRunner() { Close(); }

void TOverlayDialogRunner::Open(const std::string& title, const std::vector<std::string>& lines,
                                const std::vector<TChoice>& buttons, const std::vector<TChoice>& list) {
  // Everything else hides while the overlay shows, so no click reaches the controls
  // beneath it.
  for (TSPThemeGUIControl* c : body_.Children()) {
    if (c->visible) {
      c->visible = false;
      hidden_.push_back(c);
    }
  }
  panel_ = new TSPThemeGUIPanel(&body_, title);
  panel_->left = 1;
  panel_->top = 1;
  panel_->width = body_.width - 2;
  panel_->height = body_.height - 2;
  panel_->styleIndex = kSurfaceLighter;
  panel_->themeIndex = body_.themeIndex;
  panel_->Placed();

  int32_t y = kMargin + 8;
  const auto addLine = [&](const std::string& text, std::function<void()> click) {
    auto* label = new TOverlayItem(panel_, std::move(click));
    label->caption = text;
    label->relativeTop = y;
    label->relativeLeft = kMargin;
    label->themeIndex = body_.themeIndex;
    label->Placed();
    label->width = panel_->width - 2 * kMargin;
    label->height = kLineHeight - 2;
    y += kLineHeight;
  };
  for (const std::string& line : lines) addLine(line, nullptr);
  if (hasField_) {
    auto* field = new TOverlayField(panel_, field_, fieldSelected_);
    field->layer = 2;  // on the composite: each key repaints it alone
    field->relativeTop = y;
    field->relativeLeft = kMargin;
    field->themeIndex = body_.themeIndex;
    field->Placed();
    field->width = 320;
    field->height = kLineHeight + 2;
    fieldControl_ = field;
    y += kLineHeight + 8;
  }
  for (const TChoice& item : list) {
    addLine(item.caption, [this, action = item.action] { chosen_ = action; });
  }
  y += kLineHeight;
  int32_t x = kMargin;
  for (const TChoice& b : buttons) {
    auto* button = new TOverlayButton(panel_, [this, action = b.action] { chosen_ = action; });
    button->caption = b.caption;
    button->relativeTop = y;
    button->relativeLeft = x;
    button->themeIndex = body_.themeIndex;
    button->styleIndex = kButtonStyle;
    button->Placed();
    button->width = 56;
    button->height = 16;
    x += 64;
  }
  body_.FullRepaint();
}

void TOverlayDialogRunner::Close() {
  if (!panel_) return;
  if (hasField_) {
    body_.keyHandler = nullptr;
    if (body_.HasWindow()) body_.site->FocusKeyboard(false);
    hasField_ = false;
    fieldControl_ = nullptr;
  }
  if (TSPThemeGUIControl::Captured() && TSPThemeGUIControl::Captured()->Body() == &body_)
    TSPThemeGUIControl::SetCaptured(nullptr);
  delete panel_;
  panel_ = nullptr;
  for (TSPThemeGUIControl* c : hidden_) c->visible = true;
  hidden_.clear();
  body_.FullRepaint();
}

void TOverlayDialogRunner::Poll() {
  if (!panel_ || !chosen_) return;
  // The overlay goes before the answer runs, so the answer may open the next dialog.
  auto action = std::move(chosen_);
  chosen_ = nullptr;
  Close();
  action();
}

void TOverlayDialogRunner::Cancel() {
  chosen_ = nullptr;
  Close();
}

TSPThemeGUIControl* TOverlayDialogRunner::Item(const std::string& caption) const {
  if (!panel_) return nullptr;
  for (TSPThemeGUIControl* c : panel_->Children())
    if (c->caption == caption) return c;
  return nullptr;
}

bool TOverlayDialogRunner::AskText(const std::string& title, const std::string& prompt, const std::string& initial,
                                   TTextAnswer answer) {
  if (Busy()) return false;
  field_ = initial;
  fieldSelected_ = true;
  hasField_ = true;
  // The answer is the field's text when OK is clicked (or Enter pressed).
  Open(title, {prompt}, {{"OK", [this, answer] { answer(field_); }}, {"Cancel", [answer] { answer(std::nullopt); }}});
  body_.keyHandler = [this, answer](const TSPKey& key) { return Key(key, answer); };
  if (body_.HasWindow()) body_.site->FocusKeyboard(true);
  return true;
}

bool TOverlayDialogRunner::Key(const TSPKey& key, const std::function<void(std::optional<std::string>)>& answer) {
  if (!panel_ || chosen_) return false;
  constexpr uint32_t kBackSpace = 0xFF08, kReturn = 0xFF0D, kEnter = 0xFF8D, kEscape = 0xFF1B;
  if (key.keysym == kReturn || key.keysym == kEnter) {
    chosen_ = [this, answer] { answer(field_); };
    return true;
  }
  if (key.keysym == kEscape) {
    chosen_ = [answer] { answer(std::nullopt); };
    return true;
  }
  if (key.keysym == kBackSpace) {
    if (fieldSelected_) {
      field_.clear();
    } else if (!field_.empty()) {
      field_.pop_back();
    }
  } else {
    // Printable characters only (what the text prompts take: values, units and names).
    std::string typed;
    for (const char c : key.text)
      if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) typed += c;
    if (typed.empty()) return false;
    if (fieldSelected_) field_.clear();
    if (field_.size() + typed.size() <= 255) field_ += typed;
  }
  fieldSelected_ = false;
  if (fieldControl_) fieldControl_->RequestRepaint();
  return true;
}

bool TOverlayDialogRunner::AskYesNo(const std::string& title, const std::string& question, TYesNoAnswer answer) {
  if (Busy()) return false;
  Open(title, Wrap(question), {{"Yes", [answer] { answer(true); }}, {"No", [answer] { answer(false); }}});
  return true;
}

bool TOverlayDialogRunner::ShowMessage(const std::string& title, const std::string& text, TDoneAnswer done) {
  if (Busy()) return false;
  Open(title, Wrap(text), {{"OK", [done] {
                              if (done) done();
                            }}});
  return true;
}

bool TOverlayDialogRunner::ChooseFile(const TFileDialogRequest& r, TTextAnswer answer) {
  if (Busy()) return false;
  namespace fs = std::filesystem;
  const fs::path folder = r.folder.empty() ? fs::path(".") : fs::path(r.folder);
  const auto cancel = TChoice{"Cancel", [answer] { answer(std::nullopt); }};
  if (r.save) {
    const std::string path =
        WithDefaultExtension((folder / (r.fileName.empty() ? "Untitled" : r.fileName)).string(), r.defaultExtension);
    std::error_code ec;
    std::vector<std::string> lines = {"Save as:", path};
    if (r.overwritePrompt && fs::exists(path, ec)) lines.push_back("That file exists and will be replaced.");
    Open(r.title, lines, {{"Save", [answer, path] { answer(path); }}, cancel});
    return true;
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    if (Matches(name, r.pattern)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (static_cast<int32_t>(names.size()) > kFilesShown) names.resize(kFilesShown);
  std::vector<TChoice> files;
  for (const std::string& name : names) {
    const std::string path = (folder / name).string();
    files.push_back({name, [answer, path] { answer(path); }});
  }
  std::vector<std::string> lines = {r.filterName + " in " + folder.string() + ":"};
  if (files.empty()) lines.push_back("(none)");
  Open(r.title, lines, {cancel}, files);
  return true;
}

}  // namespace tesmora6
