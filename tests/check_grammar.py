#!/usr/bin/env python3
"""Checks the editor grammar (editors/vscode) against the language itself.

- The keyword list, the token kinds, the builtin names and the sdl2 names
  are read from the interpreter's own sources, so a word added there and
  forgotten here fails the check.
- Every keyword must be scoped as a keyword, every operator and punctuation
  mark as one whole operator or punctuation token, every builtin and sdl2
  function as such when called.
- Every token of every example script, found by a small scanner that
  follows the interpreter's scanning rules, must get a scope of its own
  kind from the grammar: comments, strings, numbers, keywords, names,
  operators.

The grammar is applied by a minimal TextMate engine (match, begin/end,
captures, include), which is all the grammar uses.

Usage: check_grammar.py SOURCE_DIR
"""

import json
import re
import sys
from pathlib import Path

# Spelling of every token kind that is neither a keyword nor a literal.
SPELLINGS = {
    "Plus": "+", "Minus": "-", "Star": "*", "Slash": "/", "Percent": "%",
    "Power": "**", "Assign": "=", "PlusAssign": "+=", "MinusAssign": "-=",
    "StarAssign": "*=", "SlashAssign": "/=", "Equal": "==", "NotEqual": "!=",
    "Less": "<", "Greater": ">", "LessEqual": "<=", "GreaterEqual": ">=",
    "LParen": "(", "RParen": ")", "LBrace": "{", "RBrace": "}",
    "LBracket": "[", "RBracket": "]", "Comma": ",", "Colon": ":",
    "Semicolon": ";", "Arrow": "->", "FatArrow": "=>", "Dot": ".",
    "Question": "?",
}
LITERAL_KINDS = {"Identifier", "Number", "Float", "String", "Eof"}
# Spellings that are not token kinds of their own: `!` is Not, `..` two Dots.
EXTRA_OPERATORS = ["!", ".."]

KEYWORD_SCOPES = ("keyword.", "storage.", "constant.language.")
OPERATOR_SCOPES = ("keyword.operator.", "punctuation.")
NAME_SCOPES = ("variable.", "entity.name.", "support.")


# ---------------------------------------------------------------- sources

def x_macro_items(path, pattern):
    text = Path(path).read_text(encoding="utf-8")
    return re.findall(pattern, text, re.MULTILINE)


def language_words(source_dir):
    src = Path(source_dir) / "src"
    keywords = x_macro_items(src / "lexer/token.h", r'^\s*KEYWORD\(\w+,\s*"(\w+)"\)')
    kinds = x_macro_items(src / "lexer/token.h", r"^\s*TOKEN\((\w+)\)")
    builtins = x_macro_items(src / "interpreter/builtins/builtins.h", r"^\s*X\((\w+)[,)]")
    sdl2 = x_macro_items(src / "graphics/library.h", r"^\s*X\((\w+)\)")
    return keywords, kinds, builtins, sdl2


def library_words(source_dir):
    """The library's function names, which only the reference documents."""
    path = Path(source_dir) / "src" / "interpreter/builtins/library.h"
    return x_macro_items(path, r'^\s*X\(\w+,\s*"(\w+)"')


# ---------------------------------------------------------------- engine

class Grammar:
    def __init__(self, data):
        self.repository = data.get("repository", {})
        self.root = data["patterns"]
        self.compiled = {}

    def rules(self, patterns):
        """Flattens includes into a list of match and begin/end rules."""
        out = []
        for rule in patterns:
            if "include" in rule:
                name = rule["include"]
                if not name.startswith("#") or name[1:] not in self.repository:
                    raise ValueError("unknown include " + name)
                out.extend(self.rules(self.repository[name[1:]]["patterns"]))
            elif "match" in rule or "begin" in rule:
                out.append(rule)
            else:
                raise ValueError("unsupported rule %r" % rule)
        return out

    def regex(self, text):
        if text not in self.compiled:
            self.compiled[text] = re.compile(text)
        return self.compiled[text]


def paint(scopes, start, match, base, name, captures):
    if name:
        base = base + [name]
    for i in range(match.start(), match.end()):
        scopes[start + i - match.start()] = list(base)
    for group, capture in (captures or {}).items():
        g = int(group)
        if match.group(g) is None:
            continue
        for i in range(match.start(g), match.end(g)):
            scopes[start + i - match.start()] = base + [capture["name"]]


def tokenize(grammar, text):
    """The scope list of every character of `text`."""
    scopes = [["source.tovik"] for _ in text]
    stack = []  # open begin/end rules: (rule, scope list inside it)
    offset = 0
    for line in text.splitlines(keepends=True):
        pos = 0
        while pos <= len(line):
            base = stack[-1][1] if stack else ["source.tovik"]
            rules = grammar.rules(stack[-1][0].get("patterns", []) if stack else grammar.root)
            best = None  # (start, order, kind, rule, match)
            if stack:
                m = grammar.regex(stack[-1][0]["end"]).search(line, pos)
                if m:
                    best = (m.start(), -1, "end", stack[-1][0], m)
            for order, rule in enumerate(rules):
                m = grammar.regex(rule.get("match") or rule["begin"]).search(line, pos)
                if m and (best is None or m.start() < best[0]):
                    best = (m.start(), order, "match" if "match" in rule else "begin", rule, m)
            if best is None:
                break
            start, _, kind, rule, m = best
            if kind == "end":
                inner = stack.pop()[1]
                paint_match(scopes, offset, m, inner[:-1] if rule.get("name") else inner,
                            rule.get("name"), rule.get("endCaptures"))
            elif kind == "begin":
                paint_match(scopes, offset, m, base, rule.get("name"), rule.get("beginCaptures"))
                inner = base + ([rule["name"]] if rule.get("name") else [])
                stack.append((rule, inner))
            else:
                paint_match(scopes, offset, m, base, rule.get("name"), rule.get("captures"))
            # Characters skipped before the match keep the enclosing scope.
            for i in range(pos, start):
                if offset + i < len(scopes):
                    scopes[offset + i] = list(base)
            if m.end() == m.start():
                pos = m.end() + 1  # an empty match must not stall the line
            else:
                pos = m.end()
        # The rest of the line after the last match keeps the enclosing scope.
        base = stack[-1][1] if stack else ["source.tovik"]
        for i in range(pos, len(line)):
            scopes[offset + i] = list(base)
        offset += len(line)
    return scopes


def paint_match(scopes, offset, match, base, name, captures):
    start = offset + match.start()
    paint(scopes, start, match, base, name, captures)


def innermost(scopes, start, end):
    """The one innermost scope of the characters start..end, or None."""
    names = {s[-1] for s in scopes[start:end]}
    return names.pop() if len(names) == 1 else None


# ---------------------------------------------------------------- scanner

def scan(text):
    """(start, end, kind, text) for each token, by the interpreter's rules."""
    tokens = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c in " \t\r\n":
            i += 1
        elif c == "#":
            end = text.find("\n", i)
            end = n if end < 0 else end
            tokens.append((i, end, "comment", text[i:end]))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            tokens.append((i, end, "comment", text[i:end]))
            i = end
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            end = min(j + 1, n)
            tokens.append((i, end, "string", text[i:end]))
            i = end
        elif c.isascii() and c.isdigit():
            m = re.compile(r"\d+(\.\d+)?", re.ASCII).match(text, i)
            tokens.append((i, m.end(), "number", m.group()))
            i = m.end()
        elif c.isascii() and (c.isalpha() or c == "_"):
            j = i + 1
            while j < n and (text[j] == "_" or text[j].isalnum()):
                j += 1
            tokens.append((i, j, "word", text[i:j]))
            i = j
        else:
            for spelling in sorted(list(SPELLINGS.values()) + EXTRA_OPERATORS, key=len, reverse=True):
                if spelling != ".." and text.startswith(spelling, i):
                    tokens.append((i, i + len(spelling), "operator", spelling))
                    i += len(spelling)
                    break
            else:
                i += 1  # dropped by the scanner too
    return tokens


# ---------------------------------------------------------------- checks

def scope_of(grammar, source, start, end):
    return innermost(tokenize(grammar, source), start, end)


def check_words(grammar, keywords, kinds, builtins, sdl2):
    problems = []
    for word in keywords:
        source = "x %s y\n" % word
        scope = scope_of(grammar, source, 2, 2 + len(word))
        if not scope or not scope.startswith(KEYWORD_SCOPES):
            problems.append("keyword %r is scoped %r" % (word, scope))

    missing = [k for k in kinds if k not in LITERAL_KINDS and k not in SPELLINGS]
    if missing:
        problems.append("token kinds without a known spelling (update this check): %s"
                        % ", ".join(missing))
    for spelling in sorted(set(SPELLINGS.values()) | set(EXTRA_OPERATORS)):
        source = "a %s b\n" % spelling
        scope = scope_of(grammar, source, 2, 2 + len(spelling))
        if not scope or not scope.startswith(OPERATOR_SCOPES):
            problems.append("operator %r is scoped %r" % (spelling, scope))

    for name in builtins:
        source = "%s(1)\n" % name
        scope = scope_of(grammar, source, 0, len(name))
        if scope != "support.function.builtin.tovik":
            problems.append("builtin %r is scoped %r" % (name, scope))
    for name in sdl2:
        source = "sdl2.%s(1)\n" % name
        scope = scope_of(grammar, source, 5, 5 + len(name))
        if scope != "support.function.graphics.tovik":
            problems.append("sdl2 function %r is scoped %r" % (name, scope))
    # The grammar names no function the interpreter does not have.
    for scope, known in (("support.function.builtin.tovik", builtins),
                         ("support.function.graphics.tovik", sdl2)):
        for rule in grammar.rules(grammar.root):
            names = [c["name"] for c in rule.get("captures", {}).values()]
            if scope in names:
                group = re.search(r"\(((?:\w+\|)+\w+)\)", rule["match"])
                extra = set(group.group(1).split("|")) - set(known) if group else set()
                if extra:
                    problems.append("grammar names unknown functions: %s" % ", ".join(sorted(extra)))
    return problems


def expected_kind(token, keywords):
    start, end, kind, text = token
    if kind == "word":
        return KEYWORD_SCOPES if text in keywords else NAME_SCOPES
    return {"comment": ("comment.",),
            "string": ("string.",),
            "number": ("constant.numeric.",),
            "operator": OPERATOR_SCOPES}[kind]


# Corners the examples may not reach: escaped quotes, a `#` inside a
# string, a block comment over two lines, ranges, method calls and the
# operators that no rule of the language uses.
TRICKY_SOURCE = r"""let s = "say \"hi\" # not a comment" + "\\" + s
let t = 1..5 /* a block
comment */ let u = 2.5 ** x1 e5 1.2.3 007
print(s, t[0], u.size, "abc".upper(), café)
a->b ? c => d; x != y; !z; k %= 2 **= 3 <== 4
"""


def check_script(grammar, label, source, keywords, builtins):
    problems = []
    scopes = tokenize(grammar, source)
    tokens = scan(source)
    for index, token in enumerate(tokens):
        start, end, kind, text = token
        wanted = expected_kind(token, keywords)
        if kind in ("comment", "string"):
            # Escapes and delimiters have scopes of their own, inside the
            # comment or string one that every character must carry.
            outside = [s[-1] for s in scopes[start:end]
                       if not any(x.startswith(wanted[0]) for x in s)]
            scope = outside[0] if outside else wanted[0]
        else:
            scope = innermost(scopes, start, end)
        ok = scope is not None and scope.startswith(wanted)
        following = tokens[index + 1][3] if index + 1 < len(tokens) else ""
        if ok and kind == "word" and text in builtins and following == "(":
            previous = tokens[index - 1][3] if index else ""
            ok = previous == "." or scope == "support.function.builtin.tovik"
        if not ok:
            line = source.count("\n", 0, start) + 1
            problems.append("%s:%d: %s %r is scoped %r" % (label, line, kind, text, scope))
    return problems, len(tokens)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = Path(argv[1])
    editor = root / "editors" / "vscode"
    package = json.loads((editor / "package.json").read_text(encoding="utf-8"))
    grammar_path = editor / package["contributes"]["grammars"][0]["path"]
    grammar_text = grammar_path.read_text(encoding="utf-8")
    data = json.loads(grammar_text)
    grammar = Grammar(data)
    keywords, kinds, builtins, sdl2 = language_words(root)

    problems = []
    if len(keywords) != 21 or len(builtins) != 39 or len(sdl2) != 16:
        problems.append("read %d keywords, %d builtins, %d sdl2 functions from the sources"
                        % (len(keywords), len(builtins), len(sdl2)))
    language = package["contributes"]["languages"][0]
    if ".tvk" not in language["extensions"] or data["scopeName"] != package["contributes"]["grammars"][0]["scopeName"]:
        problems.append("package.json does not tie .tvk files to the grammar")
    problems += check_words(grammar, keywords, kinds, builtins, sdl2)

    found, total = check_script(grammar, "tricky source", TRICKY_SOURCE, keywords, builtins)
    problems += found
    scripts = sorted((root / "examples").glob("*.tvk"))
    for script in scripts:
        found, count = check_script(grammar, script.name, script.read_text(encoding="utf-8"),
                                    keywords, builtins)
        problems += found
        total += count
    for problem in problems:
        print("FAIL " + problem)
    print("%d tokens in %d examples and the tricky source checked, %d problems"
          % (total, len(scripts), len(problems)))
    return 1 if problems or not scripts else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
