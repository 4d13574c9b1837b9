// The playground page: the editor, Run and Stop, the output console with
// its input line, the canvas, the examples menu and the Share link. The
// interpreter runs in a worker (run_worker.js); a second worker checks the
// editor's text as it changes.
import {EditorView, basicSetup} from 'codemirror';
import {keymap} from '@codemirror/view';
import {indentWithTab} from '@codemirror/commands';
import {linter, lintGutter} from '@codemirror/lint';
import {tovikLanguage} from './tovik_language.js';
import {diagnosticsOf} from './diagnostics.js';

const $ = (id) => document.getElementById(id);
const output = $('output');
const status = $('status');
const canvas = $('canvas');
const inputLine = $('input-line');
const inputForm = $('input-form');

// ---- The script: from the link's fragment, else the first example.

function encodeScript(text) {
  const bytes = new TextEncoder().encode(text);
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function decodeScript(encoded) {
  const binary = atob(encoded.replace(/-/g, '+').replace(/_/g, '/'));
  return new TextDecoder().decode(Uint8Array.from(binary, (c) => c.charCodeAt(0)));
}

function scriptFromLink() {
  const match = /^#code=([A-Za-z0-9_-]*)$/.exec(location.hash);
  if (!match) return null;
  try {
    return decodeScript(match[1]);
  } catch {
    return null;
  }
}

// ---- Checking as you type: one worker, answers matched to requests.

let checker = null;
let checks = 0;
const pendingChecks = new Map();

function checkWorker() {
  if (!checker) {
    checker = new Worker('run_worker.js');
    checker.onmessage = ({data}) => {
      const resolve = pendingChecks.get(data.id);
      pendingChecks.delete(data.id);
      if (resolve) resolve(data.report);
    };
  }
  return checker;
}

function checkSource(source) {
  const id = ++checks;
  return new Promise((resolve) => {
    pendingChecks.set(id, resolve);
    checkWorker().postMessage({type: 'check', id, source});
  });
}

const tovikLinter = linter(async (view) => {
  const source = view.state.doc.toString();
  const report = await checkSource(source);
  if (view.state.doc.toString() !== source) return [];
  return diagnosticsOf(report, view.state.doc);
}, {delay: 400});

// ---- The editor.

const editor = new EditorView({
  doc: '',
  extensions: [basicSetup,
               keymap.of([indentWithTab,
                          {key: 'Mod-Enter', run: () => { run(); return true; }}]),
               tovikLanguage,
               tovikLinter, lintGutter()],
  parent: $('editor'),
});

function setScript(text) {
  editor.dispatch({changes: {from: 0, to: editor.state.doc.length, insert: text}});
}

// ---- Output.

function write(stream, text) {
  const span = document.createElement('span');
  span.className = stream;
  span.textContent = text;
  output.appendChild(span);
  output.scrollTop = output.scrollHeight;
}

// ---- Runs.

let runner = null;
let runStarted = 0;
let runBusy = false;
let framesShown = 0;
// Keys held now, and keys and the left button pressed since the last frame
// was shown: a tap shorter than a frame still reaches the script.
const keysDown = new Set();
let keysTapped = new Set();
let mouse = {x: 0, y: 0, buttons: 0};
let clicked = false;

function setRunning(running) {
  $('run').disabled = running;
  $('stop').disabled = !running;
  document.body.dataset.state = running ? 'running' : 'idle';
}

function endRun(text) {
  if (runner) runner.terminate();
  runner = null;
  runBusy = false;
  inputForm.hidden = true;
  status.textContent = text;
  setRunning(false);
}

function showFrame({pixels, width, height}) {
  // The frame is drawn at the display's next frame, and the run goes on
  // once it is on screen.
  requestAnimationFrame(() => {
    if (!runner) return;
    const context = canvas.getContext('2d');
    context.putImageData(new ImageData(new Uint8ClampedArray(pixels.buffer), width, height), 0, 0);
    framesShown += 1;
    runner.postMessage({type: 'frame-shown',
                        events: {keys: [...keysDown], tapped: [...keysTapped],
                                 mouse, clicked}});
    keysTapped = new Set();
    clicked = false;
  });
}

function run() {
  if (runner) endRun('');
  output.textContent = '';
  canvas.hidden = true;
  status.textContent = 'Running…';
  setRunning(true);
  runStarted = performance.now();
  const worker = new Worker('run_worker.js');
  runner = worker;
  worker.onmessage = ({data}) => {
    if (worker !== runner) return;
    switch (data.type) {
    case 'started':
      runBusy = true;
      break;
    case 'output':
      write(data.stream, data.text);
      break;
    case 'window':
      canvas.width = data.width;
      canvas.height = data.height;
      canvas.title = data.title;
      canvas.hidden = false;
      break;
    case 'frame':
      showFrame(data);
      break;
    case 'input-wanted':
      inputForm.hidden = false;
      inputLine.focus();
      break;
    case 'exit': {
      const seconds = ((performance.now() - runStarted) / 1000).toFixed(2);
      endRun(data.status === 0 ? `Finished in ${seconds} s`
                               : `Ended with status ${data.status}`);
      break;
    }
    }
  };
  worker.postMessage({type: 'run', source: editor.state.doc.toString()});
}

// Stop ends the worker at once, whatever the script is doing; the next Run
// starts a fresh one.
function stop() {
  if (!runner) return;
  endRun('Stopped');
  write('stderr', 'Stopped.\n');
}

inputForm.addEventListener('submit', (event) => {
  event.preventDefault();
  if (!runner) return;
  write('input', inputLine.value + '\n');
  runner.postMessage({type: 'input', text: inputLine.value});
  inputLine.value = '';
  inputForm.hidden = true;
});

$('end-input').addEventListener('click', () => {
  if (!runner) return;
  runner.postMessage({type: 'input', end: true});
  inputForm.hidden = true;
});

// A letter is one key whether Shift is held or not, so its release matches
// its press.
const keyName = (event) => (event.key.length === 1 ? event.key.toLowerCase() : event.key);
canvas.addEventListener('keydown', (event) => {
  if (!event.repeat) keysTapped.add(keyName(event));
  keysDown.add(keyName(event));
  event.preventDefault();
});
canvas.addEventListener('keyup', (event) => keysDown.delete(keyName(event)));
// Keys released elsewhere send no keyup here.
canvas.addEventListener('blur', () => keysDown.clear());
function mouseAt(event) {
  const box = canvas.getBoundingClientRect();
  return {x: Math.floor((event.clientX - box.left) * canvas.width / box.width),
          y: Math.floor((event.clientY - box.top) * canvas.height / box.height),
          buttons: event.buttons};
}
canvas.addEventListener('mousemove', (event) => { mouse = mouseAt(event); });
canvas.addEventListener('mousedown', (event) => {
  mouse = mouseAt(event);
  if (event.button === 0) clicked = true;
});
canvas.addEventListener('mouseup', (event) => { mouse = mouseAt(event); });

$('run').addEventListener('click', run);
$('stop').addEventListener('click', stop);
$('share').addEventListener('click', () => {
  const link = location.href.replace(/#.*$/, '') + '#code=' +
               encodeScript(editor.state.doc.toString());
  history.replaceState(null, '', link);
  $('share-link').value = link;
  $('share-link').hidden = false;
  $('share-link').select();
  navigator.clipboard?.writeText(link).catch(() => {});
});

// ---- Examples.

async function loadExamples() {
  const examples = await (await fetch('examples.json')).json();
  const menu = $('examples');
  for (const name of Object.keys(examples)) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    menu.appendChild(option);
  }
  menu.addEventListener('change', () => {
    if (menu.value) setScript(examples[menu.value]);
  });
  const linked = scriptFromLink();
  if (linked !== null) {
    setScript(linked);
  } else {
    menu.value = 'hello.tvk';
    setScript(examples['hello.tvk']);
  }
  document.body.dataset.ready = 'yes';
}

// For the browser test and for pages that embed this one.
window.tovikSetScript = setScript;
window.tovikGetScript = () => editor.state.doc.toString();
window.tovikFramesShown = () => framesShown;
window.tovikRunBusy = () => runBusy;

setRunning(false);
loadExamples();
