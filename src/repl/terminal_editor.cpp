#include "repl/terminal_editor.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>

#include "interpreter/builtins/builtins.h"
#include "repl/editline_library.h"
#include "repl/interrupt.h"
#include "support/halt.h"
#include "support/source.h"

namespace tovik {

namespace {

constexpr int kHistorySize = 1000;

// Only reached once open_terminal_editor has loaded the library.
const EditlineLibrary &editor_lib() { return *editline_library(); }

// Runs the editor under the UTF-8 locale on this thread only, so nothing
// else in the process sees a locale change.
class LocaleScope {
public:
  explicit LocaleScope(locale_t locale) : m_previous(uselocale(locale)) {}
  ~LocaleScope() { uselocale(m_previous); }
  LocaleScope(const LocaleScope &) = delete;
  LocaleScope &operator=(const LocaleScope &) = delete;

private:
  locale_t m_previous;
};

char *prompt_of(EditLine *editline) {
  void *data = nullptr;
  editor_lib().el_get(editline, EL_CLIENTDATA, &data);
  return static_cast<TerminalEditor *>(data)->prompt.data();
}

// The editor's source of keystrokes: one character, decoded from UTF-8 under
// the editor's locale. It gives up (-1) on Ctrl-C, however early the key
// came, so the editor hands back control and the prompt can start afresh.
int read_character(EditLine *, wchar_t *out) {
  const int fd = STDIN_FILENO; // the editor was opened on stdin
  std::mbstate_t state{};
  for (;;) {
    if (!wait_for_input(fd)) {
      errno = EINTR;
      return -1;
    }
    char byte;
    ssize_t count = read(fd, &byte, 1);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return static_cast<int>(count);
    wchar_t c;
    size_t used = std::mbrtowc(&c, &byte, 1, &state);
    if (used == static_cast<size_t>(-2)) continue; // more bytes to come
    if (used == static_cast<size_t>(-1)) {
      // An invalid sequence is dropped, as the editor itself would.
      state = std::mbstate_t{};
      continue;
    }
    *out = c;
    return 1;
  }
}

} // namespace

TerminalEditor::~TerminalEditor() {
  if (editline) {
    LocaleScope scope(utf8);
    editor_lib().el_end(editline);
  }
  if (history) editor_lib().history_end(history);
  if (utf8) freelocale(utf8);
}

std::unique_ptr<TerminalEditor> open_terminal_editor() {
  if (!editline_library()) return nullptr;
  auto editor = std::make_unique<TerminalEditor>();
  editor->utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (!editor->utf8) return nullptr;

  LocaleScope scope(editor->utf8);
  editor->editline = editor_lib().el_init("tovik", stdin, stdout, stderr);
  editor->history = editor_lib().history_init();
  if (!editor->editline || !editor->history) return nullptr;

  HistEvent event;
  editor_lib().history(editor->history, &event, H_SETSIZE, kHistorySize);
  editor_lib().history(editor->history, &event, H_SETUNIQUE, 1);
  editor_lib().el_set(editor->editline, EL_CLIENTDATA, editor.get());
  editor_lib().el_set(editor->editline, EL_PROMPT, prompt_of);
  editor_lib().el_wset(editor->editline, EL_GETCFN, read_character);
  editor_lib().el_set(editor->editline, EL_EDITOR, "emacs");
  editor_lib().el_set(editor->editline, EL_HIST, editor_lib().history,
                      editor->history);
  // Ctrl-R searches backwards through the lines entered so far.
  editor_lib().el_set(editor->editline, EL_BIND, "^R", "em-inc-search-prev",
                      nullptr);
  return editor;
}

ReadResult edit_line(TerminalEditor &editor, const std::string &prompt) {
  // Script output written so far must reach the terminal before the editor
  // draws the prompt.
  flush_output();
  editor.prompt = prompt;
  int count = 0;
  const char *line = nullptr;
  {
    LocaleScope scope(editor.utf8);
    line = editor_lib().el_gets(editor.editline, &count);
  }
  if (interrupt_requested) {
    // Forget the half-typed line and restore the terminal's normal mode; the
    // fresh prompt starts on a line of its own.
    editor_lib().el_reset(editor.editline);
    std::fputs("\n", stdout);
    return {ReadStatus::Interrupted, {}};
  }
  if (!line || count <= 0) return {ReadStatus::Closed, {}};
  std::string text(line, static_cast<size_t>(count));
  if (!is_valid_utf8(text)) return {ReadStatus::Closed, {}};
  return {ReadStatus::Line, std::move(text)};
}

void add_to_history(TerminalEditor &editor, std::string_view line) {
  std::string entry(line);
  HistEvent event;
  editor_lib().history(editor.history, &event, H_ENTER, entry.c_str());
}

} // namespace tovik
