#include "tools/bankgen/BankSource.h"

#include <charconv>

namespace tesmora6 {

namespace bankgen {
namespace {

// Splits a line into words; a quoted text is one word (kept with a leading '"' marker so
// that an empty quoted text is still a word).
class TLine {
 public:
  TLine(std::string_view text, std::string where) : where_(std::move(where)) {
    size_t i = 0;
    while (true) {
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
      if (i >= text.size() || text[i] == '#') break;  // the rest of the line is a comment
      if (text[i] == '"') {
        std::string word = "\"";
        ++i;
        bool closed = false;
        while (i < text.size()) {
          char c = text[i++];
          if (c == '\\' && i < text.size()) {
            word += text[i++];
          } else if (c == '"') {
            closed = true;
            break;
          } else {
            word += c;
          }
        }
        if (!closed) Fail("unterminated quoted text");
        words_.push_back(word);
      } else {
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '#') {
          ++i;
        }
        words_.emplace_back(text.substr(start, i - start));
      }
    }
  }

  size_t Size() const { return words_.size(); }
  const std::string& Word(size_t k) const { return words_[k]; }
  const std::string& Where() const { return where_; }

  [[noreturn]] void Fail(const std::string& message) const { throw TSourceError(where_ + ": " + message); }
  void Expect(size_t count, const char* form) const {
    if (words_.size() != count) Fail(std::string("expected: ") + form);
  }
  std::string Quoted(size_t k) const {
    if (k >= words_.size() || words_[k].empty() || words_[k][0] != '"') {
      Fail("expected a quoted text in word " + std::to_string(k + 1));
    }
    return words_[k].substr(1);
  }
  int32_t Integer(size_t k) const {
    const std::string& w = words_[k];
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || end != w.data() + w.size()) Fail("\"" + w + "\" is not a whole number");
    return v;
  }
  float Normalized(size_t k) const {
    const std::string& w = words_[k];
    float v = 0.0f;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || end != w.data() + w.size()) Fail("\"" + w + "\" is not a number");
    if (!(v >= 0.0f && v <= 1.0f)) Fail("value " + w + " is outside 0 .. 1");
    return v;
  }
  // KEY VALUE, "HOST NAME" VALUE, or the older INDEX "HOST NAME" NORMALIZED.
  TSourceValue Value() const {
    TSourceValue v;
    v.where = where_;
    if (StartsWithIndex()) {
      Expect(3, "INDEX \"PARAMETER NAME\" VALUE");
      v.index = Integer(0);
      v.name = Quoted(1);
      v.value = Normalized(2);
      return v;
    }
    Expect(2, "KEY VALUE (one value: quote a text that holds blanks)");
    if (words_[0][0] == '"') {
      v.name = Quoted(0);
    } else {
      v.key = words_[0];
    }
    // The value reader tells a quoted text from a number by its quotes.
    v.text = words_[1][0] == '"' ? words_[1] + '"' : words_[1];
    return v;
  }
  bool StartsWithIndex() const {
    return !words_.empty() && !words_[0].empty() && words_[0][0] >= '0' && words_[0][0] <= '9';
  }

 private:
  std::vector<std::string> words_;
  std::string where_;
};

}  // namespace

void ParseSource(std::string_view text, const std::string& fileName, TBankSource& bank) {
  TProgramSource* program = nullptr;
  TGroupSource* group = nullptr;
  TSubPresetSource* preset = nullptr;
  bool named = false;
  size_t lineNumber = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view raw = text.substr(pos, eol - pos);
    pos = eol + 1;
    ++lineNumber;
    const TLine line(raw, fileName + ":" + std::to_string(lineNumber));
    if (line.Size() == 0) continue;  // blank or only a comment
    const std::string& keyword = line.Word(0);

    if (!program && !group) {
      if (keyword == "program") {
        line.Expect(2, "program NUMBER");
        program = &bank.programs.emplace_back();
        program->number = line.Integer(1);
        program->where = line.Where();
        if (program->number < 1 || program->number > 128) line.Fail("programs are numbered 1 .. 128");
      } else if (keyword == "group") {
        line.Expect(3, "group ID \"GROUP NAME\"");
        group = &bank.groups.emplace_back();
        group->id = line.Integer(1);
        group->name = line.Quoted(2);
        group->where = line.Where();
      } else {
        line.Fail("a source starts with \"program NUMBER\" or \"group ID \\\"NAME\\\"\"");
      }
      continue;
    }

    if (program) {
      if (keyword == "name") {
        line.Expect(2, "name \"PROGRAM NAME\"");
        if (named) line.Fail("the program is already named");
        program->name = line.Quoted(1);
        named = true;
      } else {
        program->values.push_back(line.Value());
      }
      continue;
    }

    // A group file.
    if (keyword == "subpreset") {
      line.Expect(2, "subpreset \"SUB-PRESET NAME\"");
      if (preset) line.Fail("the sub-preset above is not closed with \"end\"");
      preset = &group->presets.emplace_back();
      preset->name = line.Quoted(1);
      preset->where = line.Where();
    } else if (keyword == "end") {
      line.Expect(1, "end");
      if (!preset) line.Fail("\"end\" without a sub-preset");
      preset = nullptr;
    } else {
      if (!preset) line.Fail("parameter values belong inside subpreset \"...\" ... end");
      preset->values.push_back(line.Value());
    }
  }
  if (!program && !group) throw TSourceError(fileName + ": the file holds no program and no group");
  if (program && !named) throw TSourceError(program->where + ": the program has no name line");
  if (preset) throw TSourceError(preset->where + ": the sub-preset is not closed with \"end\"");
}

}  // namespace bankgen

}  // namespace tesmora6
