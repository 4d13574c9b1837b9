// Builds the page into OUT (default ../build/web/site): the bundled editor
// and page script, the worker, the interpreter from `make web`, and every
// program of examples/ as examples.json.
//
// Usage: node build.mjs [WASM_DIR] [OUT]
import {build} from 'esbuild';
import {copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync} from 'node:fs';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '..');
const wasmDir = resolve(process.argv[2] ?? join(root, 'build/web/wasm/web'));
const out = resolve(process.argv[3] ?? join(root, 'build/web/site'));
mkdirSync(out, {recursive: true});

await build({
  entryPoints: [join(here, 'src/page.js')],
  bundle: true,
  minify: true,
  format: 'iife',
  target: 'es2020',
  outfile: join(out, 'page.js'),
  logLevel: 'warning',
});
await build({
  entryPoints: [join(here, 'src/run_worker.js')],
  minify: true,
  target: 'es2020',
  outfile: join(out, 'run_worker.js'),
  logLevel: 'warning',
});
for (const file of ['index.html', 'page.css']) {
  copyFileSync(join(here, file), join(out, file));
}
for (const file of ['tovik_web.js', 'tovik_web.wasm']) {
  copyFileSync(join(wasmDir, file), join(out, file));
}

const examples = {};
const examplesDir = join(root, 'examples');
for (const name of readdirSync(examplesDir).sort()) {
  if (name.endsWith('.tvk')) {
    examples[name] = readFileSync(join(examplesDir, name), 'utf8');
  }
}
writeFileSync(join(out, 'examples.json'), JSON.stringify(examples));
console.log(`page built in ${out}`);
