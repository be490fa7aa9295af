#include "gui/DialogRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace tesmora6 {

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (path.empty() || extension.empty()) return path;
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.find('.') != std::string::npos) return path;
  return path + "." + extension;
}

bool ProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty()) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// ------------------------------------------------------------------- command lines

namespace {

// The folder a chooser opens in, as both programs take it: ending in a slash.
std::string FolderArgument(const std::string& folder) {
  if (folder.empty()) return "";
  return folder.back() == '/' ? folder : folder + "/";
}

// The program's name and, when the host's window is known, the window it is transient for
// (both programs read a decimal window id).
std::vector<std::string> ProgramHead(TDialogProgram program, const TDialogPlacement& placement) {
  const std::string id = std::to_string(placement.parentWindow);
  if (program == TDialogProgram::KDialog) {
    if (placement.parentWindow == 0) return {"kdialog"};
    return {"kdialog", "--attach", id};
  }
  if (placement.parentWindow == 0) return {"zenity"};
  return {"zenity", "--attach=" + id};
}

std::vector<std::string> Joined(std::vector<std::string> head, std::initializer_list<std::string> tail) {
  head.insert(head.end(), tail);
  return head;
}

}  // namespace

std::vector<std::string> TextDialogCommand(TDialogProgram program, const std::string& title, const std::string& prompt,
                                           const std::string& initial, const TDialogPlacement& placement) {
  const auto head = ProgramHead(program, placement);
  if (program == TDialogProgram::KDialog) return Joined(head, {"--title", title, "--inputbox", prompt, initial});
  return Joined(head, {"--entry", "--title=" + title, "--text=" + prompt, "--entry-text=" + initial});
}

std::vector<std::string> YesNoDialogCommand(TDialogProgram program, const std::string& title,
                                            const std::string& question, const TDialogPlacement& placement) {
  const auto head = ProgramHead(program, placement);
  if (program == TDialogProgram::KDialog) return Joined(head, {"--title", title, "--yesno", question});
  // Texts are shown as they are, never read as markup.
  return Joined(head, {"--question", "--no-markup", "--title=" + title, "--text=" + question});
}

std::vector<std::string> MessageDialogCommand(TDialogProgram program, const std::string& title, const std::string& text,
                                              const TDialogPlacement& placement) {
  const auto head = ProgramHead(program, placement);
  if (program == TDialogProgram::KDialog) return Joined(head, {"--title", title, "--msgbox", text});
  return Joined(head, {"--info", "--no-markup", "--title=" + title, "--text=" + text});
}

std::vector<std::string> FileDialogCommand(TDialogProgram program, const TFileDialogRequest& r,
                                           const TDialogPlacement& placement) {
  const std::string start = r.save ? FolderArgument(r.folder) + r.fileName : FolderArgument(r.folder);
  auto args = ProgramHead(program, placement);
  if (program == TDialogProgram::KDialog) {
    // kdialog filters read "pattern|description"; its save chooser asks before replacing.
    return Joined(args, {"--title", r.title, r.save ? "--getsavefilename" : "--getopenfilename", start,
                         r.pattern + "|" + r.filterName});
  }
  args.insert(args.end(), {"--file-selection", "--title=" + r.title});
  if (r.save) args.push_back("--save");
  if (r.save && r.overwritePrompt) args.push_back("--confirm-overwrite");
  if (!start.empty()) args.push_back("--filename=" + start);
  args.push_back("--file-filter=" + r.filterName + " | " + r.pattern);
  // A chooser two thirds of the screen (within sensible bounds), never larger than it.
  if (placement.screenWidth > 0 && placement.screenHeight > 0) {
    const int32_t w = std::min(placement.screenWidth, std::clamp(placement.screenWidth * 2 / 3, 480, 1000));
    const int32_t h = std::min(placement.screenHeight, std::clamp(placement.screenHeight * 2 / 3, 360, 760));
    args.push_back("--width=" + std::to_string(w));
    args.push_back("--height=" + std::to_string(h));
  }
  return args;
}

// ------------------------------------------------------------------ the child process

namespace {

class TProcessDialogRunner final : public TDialogRunner {
 public:
  explicit TProcessDialogRunner(TDialogProgram program) : program_(program) {}
  void SetPlacement(const TDialogPlacement& placement) override { placement_ = placement; }
  ~TProcessDialogRunner() override { Cancel(); }

  bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
               TTextAnswer answer) override {
    return Start(TextDialogCommand(program_, title, prompt, initial, placement_),
                 [answer = std::move(answer)](bool ok, const std::string& out) {
                   answer(ok ? std::optional<std::string>(out) : std::nullopt);
                 });
  }
  bool AskYesNo(const std::string& title, const std::string& question, TYesNoAnswer answer) override {
    return Start(YesNoDialogCommand(program_, title, question, placement_),
                 [answer = std::move(answer)](bool ok, const std::string&) { answer(ok); });
  }
  bool ShowMessage(const std::string& title, const std::string& text, TDoneAnswer done) override {
    return Start(MessageDialogCommand(program_, title, text, placement_),
                 [done = std::move(done)](bool, const std::string&) {
                   if (done) done();
                 });
  }
  bool ChooseFile(const TFileDialogRequest& request, TTextAnswer answer) override {
    const std::string extension = request.save ? request.defaultExtension : "";
    return Start(FileDialogCommand(program_, request, placement_),
                 [answer = std::move(answer), extension](bool ok, const std::string& out) {
                   if (!ok || out.empty()) return answer(std::nullopt);
                   answer(WithDefaultExtension(out, extension));
                 });
  }

  bool Busy() const override { return pid_ > 0; }

  void Poll() override {
    if (pid_ <= 0) return;
    Drain();
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0 || (r < 0 && errno == EINTR)) return;  // still open
    bool ok = false;
    if (r == pid_) {
      ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    } else {
      // The host reaps its children itself: judge by what the dialog printed.
      ok = !output_.empty();
    }
    Drain();
    Finish(ok);
  }

  void Cancel() override {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    CloseOutput();
    finish_ = nullptr;
  }

 private:
  using TFinish = std::function<void(bool ok, const std::string& output)>;

  bool Start(const std::vector<std::string>& args, TFinish finish) {
    if (Busy() || args.empty()) return false;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The dialog programs chatter about their toolkit on stderr; the host's log is not
    // the place for it.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The dialog starts with default signal handling and nothing blocked, whatever the
    // host has set up for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      return false;
    }
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    pid_ = pid;
    out_ = fds[0];
    output_.clear();
    finish_ = std::move(finish);
    return true;
  }

  void Drain() {
    if (out_ < 0) return;
    char buffer[4096];
    for (;;) {
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n > 0) {
        // A path or a name is all a dialog prints; more is not an answer.
        if (output_.size() < 65536) output_.append(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      return;
    }
  }

  void CloseOutput() {
    if (out_ >= 0) close(out_);
    out_ = -1;
  }

  void Finish(bool ok) {
    pid_ = -1;
    CloseOutput();
    std::string text = output_;
    // The answer is the first line.
    const size_t eol = text.find('\n');
    if (eol != std::string::npos) text.resize(eol);
    TFinish finish = std::move(finish_);
    finish_ = nullptr;
    if (finish) finish(ok, text);
  }

  TDialogProgram program_;
  TDialogPlacement placement_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
  TFinish finish_;
};

}  // namespace

std::unique_ptr<TDialogRunner> MakeDesktopDialogRunner() {
  if (ProgramOnPath("zenity")) return std::make_unique<TProcessDialogRunner>(TDialogProgram::Zenity);
  if (ProgramOnPath("kdialog")) return std::make_unique<TProcessDialogRunner>(TDialogProgram::KDialog);
  return nullptr;
}

}  // namespace tesmora6
