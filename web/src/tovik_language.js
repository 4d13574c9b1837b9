// Tovik's highlighting for the editor: comments, texts, numbers, keywords
// and the names of calls, read a line at a time.
import {StreamLanguage} from '@codemirror/language';

// The lexer's keyword list (src/lexer/token.h).
const keywords = new Set([
  'let', 'def', 'return', 'if', 'else', 'while', 'for', 'in', 'break',
  'continue', 'match', 'try', 'catch', 'global', 'use', 'as', 'and', 'or',
  'not',
]);
const atoms = new Set(['true', 'false']);

function readString(stream, state) {
  let escaped = false;
  let ch;
  while ((ch = stream.next()) != null) {
    if (ch === '"' && !escaped) {
      state.inString = false;
      return 'string';
    }
    escaped = !escaped && ch === '\\';
  }
  state.inString = true; // a text may run over several lines
  return 'string';
}

function readBlockComment(stream, state) {
  while (!stream.eol()) {
    if (stream.match('*/')) {
      state.inComment = false;
      return 'comment';
    }
    stream.next();
  }
  state.inComment = true;
  return 'comment';
}

export const tovikLanguage = StreamLanguage.define({
  name: 'tovik',
  startState: () => ({inString: false, inComment: false}),
  token(stream, state) {
    if (state.inComment) return readBlockComment(stream, state);
    if (state.inString) return readString(stream, state);
    if (stream.eatSpace()) return null;
    if (stream.match('#')) {
      stream.skipToEnd();
      return 'comment';
    }
    if (stream.match('/*')) return readBlockComment(stream, state);
    if (stream.eat('"')) return readString(stream, state);
    if (stream.match(/^\d+(\.\d+)?/)) return 'number';
    const word = stream.match(/^[\p{L}\p{N}_]+/u);
    if (word) {
      if (keywords.has(word[0])) return 'keyword';
      if (atoms.has(word[0])) return 'atom';
      if (stream.match(/^\s*\(/, false)) return 'variableName.function';
      return 'variableName';
    }
    stream.next();
    return 'operator';
  },
  languageData: {commentTokens: {line: '#', block: {open: '/*', close: '*/'}}},
});
