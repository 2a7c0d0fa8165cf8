// Takes web.png and web-result.png: the page with a calculation set up, and
// its result box, in the engine TR_WEB_ENGINE, into TR_SHOT_FOLDER.
//
//   TR_WEB_ENGINE=chromium TR_WEB_PAGE=PAGE.html TR_SHOT_FOLDER=docs node scripts/lib/screenshot_web.mjs
import { pathToFileURL } from 'node:url';
import { engines } from '../../tests/toolkit/web/engines.mjs';
const browser = await engines[process.env.TR_WEB_ENGINE].start();
const page = await browser.open({ width: 560, height: 400 });
await page.goto(pathToFileURL(process.env.TR_WEB_PAGE).href);
await page.waitFor(() => document.querySelector('.window:not([hidden]):not([aria-busy])'));
await page.click('#Option1');
await page.click('#Option5');
await page.fill('#Text1', '1500');
await page.fill('#Text3', '100');
// The pointer off the window, so that nothing shows it hovered.
await page.click('body', { at: { x: 0, y: 0 } });
await page.evaluate(() => document.querySelector('#Text3').focus());
const folder = process.env.TR_SHOT_FOLDER;
await page.screenshot(`${folder}/web.png`);
await page.press('Enter');
await page.waitFor(() => document.querySelector('dialog.box[open]'));
const box = await page.evaluate(() => {
  const { x, y, width, height } = document.querySelector('dialog.box').getBoundingClientRect();
  return { x, y, width, height };
});
const margin = 12;
await page.screenshot(`${folder}/web-result.png`,
  { x: box.x - margin, y: box.y - margin, width: box.width + 2 * margin, height: box.height + 2 * margin });
await browser.stop();
console.log(`${folder}/web.png ${folder}/web-result.png`);
