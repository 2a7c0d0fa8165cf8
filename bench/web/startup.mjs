// Start-up and response of the page in headless Chromium, each beside a bare
// page in the same fonts, side by side in one run: the page from disk beside
// the bare page from disk and beside the page without its scripts (the
// window alone, what the browser has to draw), and the host folder's page
// served from 127.0.0.1 with gzip beside the bare page served the same way.
//
//   node bench/web/startup.mjs PAGE.html HOST_FOLDER [RUNS]
// Prints, for each page, the median (min–max) from navigation to its first
// paint with text (first-contentful-paint: the window with its captions, the
// bare page's label), and for the program the time from Enter to the first
// frame with the result box, on the first press and on later ones.
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { serve } from '../../tests/toolkit/web/serve.mjs';

const require = createRequire(import.meta.url);
const { chromium } = require('playwright-core');

const [programPath, hostFolder, runsText = '25'] = process.argv.slice(2);
const runs = Number(runsText);
const bareFile = new URL('bare.html', import.meta.url);
const bareFolder = mkdtempSync(join(tmpdir(), 'tr-bare-'));
copyFileSync(bareFile, join(bareFolder, 'index.html'));
const windowAlone = join(bareFolder, 'window.html');
writeFileSync(windowAlone, readFileSync(programPath, 'utf8').replace(/<script\b[^]*?<\/script>/g, ''));
const host = await serve(hostFolder);
const bareHost = await serve(bareFolder);
const pairs = [
  ['from disk', pathToFileURL(programPath).href, bareFile.href, pathToFileURL(windowAlone).href],
  ['from a host', host.url, bareHost.url],
];

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const summary = (values) => `${median(values).toFixed(1)} ms (${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)})`;

const browser = await chromium.launch({
  executablePath: process.env.TR_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const context = await browser.newContext({ viewport: { width: 800, height: 600 }, deviceScaleFactor: 1 });

// Enter to the first frame with the result box, three presses in a row.
async function pressEnter(page, firstBox, laterBox) {
  await page.click('#Option1');
  await page.click('#Option5');
  await page.fill('#Text1', '1500');
  await page.fill('#Text3', '100');
  for (let press = 0; press < 3; press++) {
    await page.focus('#Text3');
    await page.evaluate(() => {
      window.boxTiming = new Promise((resolve) => {
        let pressed = 0;
        addEventListener('keydown', (e) => { pressed = e.timeStamp; }, { capture: true, once: true });
        const box = () => document.querySelector('dialog.box[open]');
        const observer = new MutationObserver(() => {
          if (!box()) return;
          observer.disconnect();
          requestAnimationFrame(() => resolve(performance.now() - pressed));
        });
        observer.observe(document.body, { subtree: true, childList: true, attributes: true });
      });
    });
    await page.keyboard.press('Enter');
    (press === 0 ? firstBox : laterBox).push(await page.evaluate(() => window.boxTiming));
    await page.click('dialog.box .box-ok');
    await page.waitForSelector('dialog.box:not([open])', { state: 'attached' });
  }
}

const firstPaint = () => performance.getEntriesByName('first-contentful-paint')[0]?.startTime;
const startup = pairs.map(([, ...urls]) => urls.map(() => []));
const firstBox = [];
const laterBox = [];
// One run more, whose figures are not counted: it fills the caches of the
// file system and of fontconfig. Within a pair the page that goes first
// alternates.
for (let run = -1; run < runs; run++) {
  for (const [pair, [, ...urls]] of pairs.entries()) {
    const order = urls.map((_, which) => which);
    for (const which of run % 2 ? order : order.reverse()) {
      const page = await context.newPage();
      await page.goto(urls[which]);
      await page.waitForFunction(firstPaint);
      if (run >= 0) startup[pair][which].push(await page.evaluate(firstPaint));
      // Once the program has the window, from disk: the first box and later ones.
      if (pair === 0 && which === 0 && run >= 0) {
        await page.waitForSelector('.window:not([aria-busy])');
        await pressEnter(page, firstBox, laterBox);
      }
      await page.close();
    }
  }
}
await browser.close();
await host.close();
await bareHost.close();
rmSync(bareFolder, { recursive: true });

console.log(`Navigation to the first paint with text, ${runs} runs each, side by side:`);
for (const [pair, [name]] of pairs.entries()) {
  const [program, bare, alone] = startup[pair];
  console.log(`  ${name.padEnd(12)} transmission-ratio ${summary(program)}, bare page ${summary(bare)}: ` +
    `${(median(program) / median(bare)).toFixed(2)}x (target 1.15x)`);
  if (alone) {
    console.log(`  ${''.padEnd(12)} the window alone, without the page's scripts, ${summary(alone)}: ` +
      `${(median(alone) / median(bare)).toFixed(2)}x`);
  }
}
console.log("Enter to the result box's first frame (target 16 ms):");
console.log(`  first press  ${summary(firstBox)}`);
console.log(`  later        ${summary(laterBox)}`);
