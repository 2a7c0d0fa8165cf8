// The page's build: from the program that Emscripten linked (PROGRAM.js with
// PROGRAM.wasm beside it) and the window's markup, makes
//   - one page that opens from disk and asks the network for nothing, the
//     WebAssembly and the scripts inlined (--file);
//   - a folder for a web host (--folder): index.html, the program beside it,
//     a web app manifest, icons, and a service worker that keeps what the
//     page needs, so that after one visit it opens with no network.
//
//   node make_page.mjs --template page.html --page-script page.js --markup-program page_markup.js \
//     --program transmission-ratio.js --icon icon.svg --icon-192 icon-192.png \
//     --icon-maskable icon-512-maskable.png --service-worker service_worker.js --start-script start.js \
//     --title 传动比计算 --description TEXT --file out.html --folder out/
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { basename } from 'node:path';
import { parseArgs } from 'node:util';

const { values: options } = parseArgs({
  options: Object.fromEntries(['template', 'page-script', 'markup-program', 'program', 'icon', 'icon-192',
    'icon-maskable', 'service-worker', 'start-script', 'title', 'description', 'file', 'folder']
    .map((name) => [name, { type: 'string' }])),
});
for (const [name, value] of Object.entries(options)) if (!value) throw new Error(`make_page: --${name} is empty`);
const read = (path) => readFileSync(path, 'utf8');
// The page's colour, for the browser's frame around an installed web app.
const BACKGROUND = '#3a6ea5';

// A script's text inside <script>, where "</script" would end it.
const inline = (source) => source.replaceAll('</script', '<\\/script');
const escapeHtml = (text) => text.replace(/[&<>"]/g, (c) => `&#${c.charCodeAt(0)};`);

const icon = read(options.icon).trim();
const markup = execFileSync(process.execPath, ['--no-experimental-fetch', options['markup-program']],
  { encoding: 'utf8' }).trim();
// The window's icon element takes the picture of the icon it names.
const window = markup.replace(/(<span class="icon" data-icon="[^"]*">)(<\/span>)/, `$1${icon}$2`);
if (window === markup) throw new Error('make_page: the window has no icon element');

function page(head, program) {
  const parts = {
    TITLE: escapeHtml(options.title), DESCRIPTION: escapeHtml(options.description), HEAD: head,
    WINDOW: window, PAGE_SCRIPT: inline(read(options['page-script'])), PROGRAM: program,
  };
  return read(options.template).replace(/@([A-Z_]+)@/g, (mark, name) => {
    if (!(name in parts)) throw new Error(`make_page: the template's ${mark} is not known`);
    return parts[name];
  });
}

const wasmPath = options.program.replace(/\.js$/, '.wasm');
const programName = basename(options.program);
const wasmName = basename(wasmPath);

// The program is started once the window is painted (start.js): run while
// the page loads, it would hold the first paint back.
const start = `<script>${inline(read(options['start-script']))}</script>`;

// One file: the icon as a data: URL, the WebAssembly as base64.
const favicon = `data:image/svg+xml,${encodeURIComponent(icon)}`;
const wasm = readFileSync(wasmPath).toString('base64');
writeFileSync(options.file, page(`<link rel="icon" href="${favicon}">`, [
  `<script type="text/plain" id="program-wasm">${wasm}</script>`,
  `<script type="text/plain" id="program">${inline(read(options.program))}</script>`,
  start,
].join('\n')));

// The host's folder.
const folder = options.folder;
rmSync(folder, { recursive: true, force: true });
mkdirSync(folder, { recursive: true });
const files = {
  'index.html': page([
    '<link rel="manifest" href="manifest.webmanifest">',
    '<link rel="icon" href="icon.svg" type="image/svg+xml">',
    '<link rel="apple-touch-icon" href="icon-192.png">',
    `<meta name="theme-color" content="${BACKGROUND}">`,
  ].join('\n'), [
    `<script type="text/plain" id="program" data-src="${programName}" data-service-worker="service-worker.js"></script>`,
    start,
  ].join('\n')),
  'manifest.webmanifest': `${JSON.stringify({
    name: options.title,
    short_name: options.title,
    description: options.description,
    lang: 'zh-CN',
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: BACKGROUND,
    theme_color: BACKGROUND,
    icons: [
      { src: 'icon-192.png', sizes: '192x192', type: 'image/png', purpose: 'any' },
      { src: 'icon-512-maskable.png', sizes: '512x512', type: 'image/png', purpose: 'maskable' },
    ],
  }, null, 2)}\n`,
  'icon.svg': `${icon}\n`,
};
for (const [name, content] of Object.entries(files)) writeFileSync(`${folder}/${name}`, content);
for (const [from, name] of [[options.program, programName], [wasmPath, wasmName], [options['icon-192'], 'icon-192.png'],
  [options['icon-maskable'], 'icon-512-maskable.png']]) {
  copyFileSync(from, `${folder}/${name}`);
}
// The service worker names the version it keeps: a hash of every file, so
// that any change on the host is a new version.
const kept = ['index.html', programName, wasmName, 'manifest.webmanifest', 'icon.svg', 'icon-192.png',
  'icon-512-maskable.png'];
const version = createHash('sha256');
for (const name of kept) version.update(readFileSync(`${folder}/${name}`));
writeFileSync(`${folder}/service-worker.js`, read(options['service-worker'])
  .replace('@VERSION@', version.digest('hex').slice(0, 16))
  .replace('@FILES@', JSON.stringify(['./', ...kept])));
