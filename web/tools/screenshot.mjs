// Takes docs/images/playground.png: the page in headless Chromium running
// a graphics example.
//
// Usage: node tools/screenshot.mjs SITE_DIR OUTPUT.png [EXAMPLE]
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, output, example = 'animated_scene.tvk'] = process.argv.slice(2);
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1'],
                     {cwd: resolve(site), stdio: ['ignore', 'pipe', 'ignore']});
const port = await new Promise((done) => {
  let seen = '';
  server.stdout.on('data', (chunk) => {
    seen += chunk;
    const match = /port (\d+)/.exec(seen);
    if (match) done(Number(match[1]));
  });
});
const profile = mkdtempSync(join(tmpdir(), 'tovik-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({width: 1400, height: 760});
  await page.goto(`http://127.0.0.1:${port}/`);
  await page.waitForFunction(() => document.body.dataset.ready === 'yes');
  await page.select('#examples', example);
  await page.click('#run');
  await page.waitForFunction(() => window.tovikFramesShown() > 90);
  await page.screenshot({path: output});
} finally {
  await browser.close();
  server.kill();
  rmSync(profile, {recursive: true, force: true});
}
