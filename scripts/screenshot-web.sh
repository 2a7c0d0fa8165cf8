#!/usr/bin/env bash
# Takes docs/web.png and docs/web-result.png again: the page in headless
# Chromium with a calculation set up, and its result box.
#   bash scripts/screenshot-web.sh [PAGE.html] [FOLDER]
# TR_WEB_ENGINE=firefox or webkit takes them in that engine instead (on an
# Xvfb of its own), into FOLDER (docs/ by default).
set -euo pipefail
cd "$(dirname "$0")/.."

page=${1:-}
folder=${2:-docs}
engine=${TR_WEB_ENGINE:-chromium}
if [[ -z $page ]]; then
  page=$(bash scripts/build-web.sh | tail -n 1)
fi
bash scripts/install-deps.sh web-page
(cd tests/e2e_web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
  npm ci --no-audit --no-fund --silent)
display=()
[[ $engine == chromium ]] || display=(bash scripts/with-xvfb.sh)

TR_WEB_ENGINE=$engine TR_WEB_PAGE=$(realpath "$page") TR_SHOT_FOLDER=$folder \
  "${display[@]}" node --input-type=module - <<'JS'
import { pathToFileURL } from 'node:url';
const { engines } = await import(`${process.cwd()}/tests/e2e_web/engines.mjs`);
const browser = await engines[process.env.TR_WEB_ENGINE].start();
const page = await browser.open({ width: 560, height: 400 });
await page.goto(pathToFileURL(process.env.TR_WEB_PAGE).href);
await page.waitFor(() => document.querySelector('.window:not([hidden])'));
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
JS
