#!/usr/bin/env bash
# Takes docs/web.png and docs/web-result.png again: the page in headless
# Chromium with a calculation set up, and its result box.
#   bash scripts/screenshot-web.sh [PAGE.html]
set -euo pipefail
cd "$(dirname "$0")/.."

page=${1:-}
if [[ -z $page ]]; then
  page=$(bash scripts/build-web.sh | tail -n 1)
fi
bash scripts/install-deps.sh web-page
(cd tests/e2e_web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)

TR_WEB_PAGE=$(realpath "$page") node --input-type=module - <<'JS'
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
const require = createRequire(`${process.cwd()}/tests/e2e_web/package.json`);
const { chromium } = require('playwright-core');
const browser = await chromium.launch({
  executablePath: process.env.TR_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const page = await browser.newPage({ viewport: { width: 560, height: 400 }, deviceScaleFactor: 1 });
await page.goto(pathToFileURL(process.env.TR_WEB_PAGE).href);
await page.waitForSelector('.window:not([hidden])');
await page.click('#Option1');
await page.click('#Option5');
await page.fill('#Text1', '1500');
await page.fill('#Text3', '100');
await page.focus('#Text3');
await page.mouse.move(0, 0);
await page.screenshot({ path: 'docs/web.png' });
await page.keyboard.press('Enter');
const box = await (await page.waitForSelector('dialog.box[open]')).boundingBox();
const margin = 12;
await page.screenshot({
  path: 'docs/web-result.png',
  clip: { x: box.x - margin, y: box.y - margin, width: box.width + 2 * margin, height: box.height + 2 * margin },
});
await browser.close();
console.log('docs/web.png docs/web-result.png');
JS
