// The interpreter's side of the page: each run, and each check of the
// editor's text, gets a fresh instance of the WebAssembly program, compiled
// once per worker. The page ends a run by ending this worker (Stop), so
// nothing here needs to stop a script itself.
//
// Messages in:  {type: 'run', source}  {type: 'check', id, source}
//               {type: 'frame-shown', events: {keys, tapped, mouse, clicked}}  {type: 'input', text | end}
// Messages out: {type: 'started'}  {type: 'output', stream, text}
//               {type: 'exit', status}
//               {type: 'window', title, width, height}
//               {type: 'frame', pixels, width, height}
//               {type: 'input-wanted'}  {type: 'checked', id, report}

importScripts('tovik_web.js');

const compiled = WebAssembly.compileStreaming(fetch('tovik_web.wasm'));

// Bytes written to one stream, sent to the page a line at a time, and
// whatever is left before the run waits or ends.
function outputStream(stream) {
  const decoder = new TextDecoder();
  let bytes = [];
  return {
    write(byte) {
      if (byte === null || byte === undefined) return;
      bytes.push(byte & 0xff);
      if (byte === 10 || bytes.length >= 4096) this.flush();
    },
    flush() {
      if (bytes.length === 0) return;
      const text = decoder.decode(new Uint8Array(bytes), {stream: true});
      bytes = [];
      if (text) postMessage({type: 'output', stream, text});
    },
  };
}

// Messages the run is waiting for, by type.
const waiting = {};
function next(type) {
  return new Promise((resolve) => { waiting[type] = resolve; });
}
onmessage = (event) => {
  const message = event.data;
  if (waiting[message.type]) {
    const resolve = waiting[message.type];
    delete waiting[message.type];
    resolve(message);
    return;
  }
  if (message.type === 'run') run(message.source);
  if (message.type === 'check') check(message.id, message.source);
};

async function start(args, source, settings) {
  const wasm = await compiled;
  return new Promise((resolve) => {
    createTovik({
      noInitialRun: true,
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(wasm, imports).then((instance) => {
          receive(instance, wasm);
        });
        return {};
      },
      ...settings,
    }).then((tovik) => {
      tovik.FS.writeFile('/main.tvk', source);
      resolve(tovik);
      if (settings.onStart) settings.onStart();
      tovik.callMain([...args, 'main.tvk']);
    });
  });
}

function run(source) {
  const stdout = outputStream('stdout');
  const stderr = outputStream('stderr');
  const flush = () => { stdout.flush(); stderr.flush(); };
  let pendingInput = [];
  let events = null;
  const finish = (status, why) => {
    if (why) {
      for (const byte of new TextEncoder().encode(why + '\n')) stderr.write(byte);
    }
    flush();
    postMessage({type: 'exit', status});
  };
  start([], source, {
    preRun: [(tovik) => {
      tovik.FS.init(() => null, (b) => stdout.write(b), (b) => stderr.write(b));
    }],
    onStart: () => postMessage({type: 'started'}),
    // A moment between tasks, in which Stop can end the worker at once.
    tovikPause: () => new Promise((resume) => {
      const channel = new MessageChannel();
      channel.port1.onmessage = resume;
      channel.port2.postMessage(0);
    }),
    onExit: (status) => finish(status),
    // Each level of a run also takes the worker's native stack, about 1 MB
    // in Chromium: a few hundred levels of recursion exhaust it, and the
    // instance aborts without a reason of its own.
    onAbort: (what) => finish(1, what === undefined
        ? 'Error: the run went deeper than the browser\'s stack allows'
        : 'Error: ' + what),
    tovikOpenCanvas(title, width, height) {
      postMessage({type: 'window', title, width, height});
      return true;
    },
    // The frame is shown at the page's next animation frame, which is when
    // the run goes on: the display sets the pace.
    async tovikPresent(pixels, width, height) {
      flush();
      const shown = next('frame-shown');
      postMessage({type: 'frame', pixels, width, height}, [pixels.buffer]);
      events = (await shown).events;
      return 0;
    },
    // The keys and mouse the page sent with the frame just shown, in the
    // form src/graphics/browser_input.h reads.
    tovikInputReport() {
      if (!events) return '';
      const {mouse, clicked, keys, tapped} = events;
      const lines = [`${mouse.x} ${mouse.y} ${mouse.buttons & 1 ? 1 : 0} ${clicked ? 1 : 0}`];
      for (const key of keys) lines.push('+' + key);
      for (const key of tapped) lines.push('*' + key);
      return lines.join('\n');
    },
    async tovikReadInput(size) {
      flush();
      if (pendingInput.length === 0) {
        const answer = next('input');
        postMessage({type: 'input-wanted'});
        const message = await answer;
        if (message.end) return new Uint8Array(0);
        pendingInput = Array.from(new TextEncoder().encode(message.text + '\n'));
      }
      const part = pendingInput.slice(0, size);
      pendingInput = pendingInput.slice(part.length);
      return new Uint8Array(part);
    },
  }).catch((error) => finish(1, 'Error: ' + error));
  // A run too deep for the browser's own stack ends the instance with a
  // RangeError outside the interpreter's reach; it is reported the same way.
  self.onerror = (event) => {
    const text = String(event.message || event);
    if (/ExitStatus/.test(text)) return true;
    finish(1, /call stack/i.test(text)
        ? 'Error: maximum recursion depth exceeded' : 'Error: ' + text);
    return true;
  };
}

// The runtime ends main() by throwing its exit status past any waits; the
// status itself has already been reported through onExit.
self.addEventListener('unhandledrejection', (event) => {
  if (event.reason && event.reason.name === 'ExitStatus') event.preventDefault();
});
self.addEventListener('error', (event) => {
  if (/ExitStatus/.test(String(event.message))) event.preventDefault();
});

// `--check` on the editor's text: its report is standard error.
function check(id, source) {
  let report = '';
  const decoder = new TextDecoder();
  start(['--check'], source, {
    preRun: [(tovik) => {
      tovik.FS.init(() => null, () => {}, (b) => {
        if (b !== null && b !== undefined) {
          report += decoder.decode(new Uint8Array([b & 0xff]), {stream: true});
        }
      });
    }],
    onExit: () => postMessage({type: 'checked', id, report}),
  }).catch(() => postMessage({type: 'checked', id, report}));
}
