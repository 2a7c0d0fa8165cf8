// Start-up and response of the page in headless Chromium, beside a bare page
// in the same fonts, side by side in one run.
//
//   node bench/web/startup.mjs PAGE.html [RUNS]
// Prints, for each page, the median (min–max) from navigation to its first
// paint with text (first-contentful-paint: the window with its captions, the
// bare page's label), and for the program the time from Enter to the first
// frame with the result box.
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const require = createRequire(new URL('../../tests/e2e_web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [programPath, runsText = '15'] = process.argv.slice(2);
const runs = Number(runsText);
const pages = {
  'transmission-ratio.html': pathToFileURL(programPath).href,
  'bare page': new URL('bare.html', import.meta.url).href,
};

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const summary = (values) => `${median(values).toFixed(1)} ms (${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)})`;

const browser = await chromium.launch({
  executablePath: process.env.TR_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const context = await browser.newContext({ viewport: { width: 800, height: 600 }, deviceScaleFactor: 1 });

const startup = Object.fromEntries(Object.keys(pages).map((name) => [name, []]));
const firstBox = [];
const laterBox = [];
for (let run = 0; run < runs; run++) {
  for (const [name, url] of Object.entries(pages)) {
    const page = await context.newPage();
    await page.goto(url);
    // The first paint with text in it: the window, with its captions drawn.
    const firstPaint = () => performance.getEntriesByName('first-contentful-paint')[0]?.startTime;
    await page.waitForFunction(firstPaint);
    startup[name].push(await page.evaluate(firstPaint));
    if (name === 'transmission-ratio.html') {
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
        const took = await page.evaluate(() => window.boxTiming);
        (press === 0 ? firstBox : laterBox).push(took);
        await page.click('dialog.box .box-ok');
        await page.waitForSelector('dialog.box:not([open])', { state: 'attached' });
      }
    }
    await page.close();
  }
}
await browser.close();

const program = median(startup['transmission-ratio.html']);
const bare = median(startup['bare page']);
console.log(`Navigation to the first paint with text, ${runs} runs each, side by side:`);
for (const [name, values] of Object.entries(startup)) console.log(`  ${name.padEnd(24)} ${summary(values)}`);
console.log(`  ratio                    ${(program / bare).toFixed(2)}x (target 1.5x)`);
console.log('Enter to the result box\'s first frame:');
console.log(`  first press              ${summary(firstBox)}`);
console.log(`  later presses            ${summary(laterBox)} (target 16 ms)`);
