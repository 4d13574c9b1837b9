// The checker's report ("main.tvk:LINE:COLUMN: warning: TEXT") as the
// editor's diagnostics. Columns count characters, the editor UTF-16 units.
const LINE = /^main\.tvk:(\d+):(\d+): (warning|error): (.*)$/;

export function diagnosticsOf(report, doc) {
  const found = [];
  for (const text of report.split('\n')) {
    const match = LINE.exec(text);
    if (!match) continue;
    const lineNumber = Math.min(Math.max(Number(match[1]), 1), doc.lines);
    const line = doc.line(lineNumber);
    let offset = 0;
    let column = 1;
    for (const ch of line.text) {
      if (column >= Number(match[2])) break;
      offset += ch.length;
      column += 1;
    }
    const from = line.from + offset;
    // The name or word the message is about, else one character.
    const word = /^[\p{L}\p{N}_]+/u.exec(line.text.slice(offset));
    const to = Math.min(line.to, from + (word ? word[0].length : 1));
    found.push({from, to: Math.max(to, from), severity: match[3] === 'error' ? 'error' : 'warning',
                message: match[4]});
  }
  return found;
}
