// Runs `tovik --check` on a script when it is opened or saved and shows
// each "FILE:LINE:COL: warning: MESSAGE [CODE]" line as a problem.
const vscode = require("vscode");
const { execFile } = require("child_process");
const path = require("path");

const LINE = /^(.*):(\d+):(\d+): warning: (.*) \[(W\d+)\]$/;

function activate(context) {
  const problems = vscode.languages.createDiagnosticCollection("tovik");
  context.subscriptions.push(problems);

  function check(document) {
    if (document.languageId !== "tovik" || document.uri.scheme !== "file") return;
    const tovik = vscode.workspace.getConfiguration("tovik").get("path") || "tovik";
    const file = document.uri.fsPath;
    // Modules are looked for in the working directory, as when the script
    // runs from its own folder.
    execFile(tovik, ["--check", path.basename(file)], { cwd: path.dirname(file) },
      (error, stdout, stderr) => {
        if (error && error.code === "ENOENT") return; // tovik is not installed
        const found = [];
        for (const line of String(stderr).split("\n")) {
          const m = LINE.exec(line);
          if (!m) continue;
          const row = Math.max(0, Number(m[2]) - 1);
          const column = Math.max(0, Number(m[3]) - 1);
          const range = new vscode.Range(row, column, row, column + 1);
          const problem = new vscode.Diagnostic(range, m[4], vscode.DiagnosticSeverity.Warning);
          problem.code = m[5];
          problem.source = "tovik";
          found.push(problem);
        }
        problems.set(document.uri, found);
      });
  }

  context.subscriptions.push(
    vscode.workspace.onDidOpenTextDocument(check),
    vscode.workspace.onDidSaveTextDocument(check),
    vscode.workspace.onDidCloseTextDocument((document) => problems.delete(document.uri)));
  vscode.workspace.textDocuments.forEach(check);
}

function deactivate() {}

module.exports = { activate, deactivate };
