// Lighthouse's audit of the host folder's page, served from 127.0.0.1 with
// gzip as a host serves it, in Debian's Chromium (CHROME_PATH): the four
// scores and the first contentful paint for a phone (Lighthouse's default:
// slow 4G, a CPU four times slower) and for a desktop, beside the bare page's
// first contentful paint, served the same way.
//
//   node bench/web/lighthouse.mjs HOST_FOLDER
import { execFile } from 'node:child_process';
import { copyFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { serve } from '../../tests/toolkit/web/serve.mjs';

const run = promisify(execFile);
const lighthouse = fileURLToPath(new URL('node_modules/.bin/lighthouse', import.meta.url));
const CHROME_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run'];
const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];

async function audit(url, formFactor) {
  const args = [url, '--output=json', '--quiet', `--chrome-flags=${CHROME_FLAGS.join(' ')}`,
    `--only-categories=${CATEGORIES.join(',')}`];
  if (formFactor === 'desktop') args.push('--preset=desktop');
  const { stdout } = await run(lighthouse, args, {
    env: { ...process.env, CHROME_PATH: process.env.CHROME_PATH ?? '/usr/bin/chromium' }, maxBuffer: 1 << 28,
  });
  const report = JSON.parse(stdout);
  const below = Object.values(report.audits).filter((a) => a.score !== null && a.score < 1 &&
    ['binary', 'numeric', 'metricSavings'].includes(a.scoreDisplayMode)).map((a) => a.id);
  return { report, below };
}

const [hostFolder] = process.argv.slice(2);
const bareFolder = mkdtempSync(join(tmpdir(), 'tr-bare-'));
copyFileSync(new URL('bare.html', import.meta.url), join(bareFolder, 'index.html'));
const host = await serve(hostFolder);
const bareHost = await serve(bareFolder);
console.log('Lighthouse, the host folder served with gzip (target 100 in each, first paint on a phone 0.8 s):');
for (const formFactor of ['mobile', 'desktop']) {
  const { report, below } = await audit(host.url, formFactor);
  const { report: bare } = await audit(bareHost.url, formFactor);
  const scores = CATEGORIES.map((id) => `${id} ${Math.round(report.categories[id].score * 100)}`).join(', ');
  const paint = (r) => r.audits['first-contentful-paint'].displayValue;
  console.log(`  ${formFactor.padEnd(8)} ${scores}; first contentful paint ${paint(report)} (bare page ${paint(bare)})`);
  if (below.length) console.log(`           below full marks: ${below.join(', ')}`);
}
await host.close();
await bareHost.close();
rmSync(bareFolder, { recursive: true });
