// The page, transmission-ratio.html, opened from disk and used as a person
// would, in one browser engine: Chromium, Firefox or WebKit (engines.mjs
// drives each through the same few methods, so every case is written once).
// First the cases that every binding runs (tests/toolkit/window_cases.h),
// read from their JSON with the layout, through the driver below; then what
// is the page's own: insertions of every kind, drops, clicks that take no
// focus, the box's focus, what is done before the program is ready, the web
// app with no network, the phone's taps, accessibility; in Chromium also the
// fonts, the network and the installability.
//
//   TR_WEB_PAGE=build-web/app/transmission-ratio.html TR_WEB_ENGINE=firefox node --test tests/toolkit/web/
//
// TR_WEB_ENGINE is chromium (the default), firefox or webkit; webkit needs an
// X server (scripts/lib/with-xvfb.sh) and xdotool. The JSON is written by the web
// build's window_cases_json (TR_BUILD_TESTS=ON), or TR_WINDOW_CASES names it.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { engines } from './engines.mjs';
import { serve } from './serve.mjs';

const root = new URL('../../../', import.meta.url);
const pagePath = process.env.TR_WEB_PAGE ?? fileURLToPath(new URL('build-web/app/transmission-ratio.html', root));
const pageUrl = pathToFileURL(pagePath).href;
// The folder for a web host, which the build makes beside the page.
const hostFolder = fileURLToPath(new URL('host/', pathToFileURL(pagePath)));
const engine = engines[process.env.TR_WEB_ENGINE ?? 'chromium'];
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// The cases of every binding and the layout, as the program's tests write them.
const { layout, cases } = JSON.parse(process.env.TR_WINDOW_CASES
  ? readFileSync(process.env.TR_WINDOW_CASES, 'utf8')
  : execFileSync(process.execPath, ['--no-experimental-fetch',
    fileURLToPath(new URL('../tests/toolkit/window_cases_json.js', pathToFileURL(pagePath)))], { encoding: 'utf8' }));
const rows = layout.controls;
const rowOf = (name) => rows.find((r) => r.name === name);

// The faces the page may draw its Chinese texts in.
const SONG = layout.faces;
const INTERFACE = ['Microsoft YaHei UI', 'Microsoft YaHei', 'PingFang SC', 'Noto Sans CJK SC',
  'Source Han Sans SC', 'WenQuanYi Micro Hei'];

const NO_KIND = '您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！';
const result = (prompt) => ({ title: 'Result！', icon: 'information', prompt });
const error = (prompt) => ({ title: 'Error！', icon: 'critical', prompt });

let browser;
before(async () => {
  browser = await engine.start();
});
after(async () => browser?.stop());

const ready = () => document.querySelector('.window:not([hidden]):not([aria-busy])');
const pause = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(() => setTimeout(resolve))));

// A fresh page whose program has taken the window over, on a desktop or a
// phone, from disk or from a host; `early`: the host holds the program back,
// so the window is shown and the program not ready until host.release().
async function open(viewport = {}, { host, early = false } = {}) {
  const page = await browser.open(viewport);
  await page.goto(host ? host.url : pageUrl);
  await page.waitFor(early ? () => document.querySelector('.window[aria-busy]') : ready);
  return page;
}

async function done(page) {
  assert.deepEqual(await page.reportedErrors(), [], 'the page reported no error');
  await page.close();
}

// A case that needs what the engine's driver lacks is skipped there, with why.
const needing = (...needs) => ({ skip: needs.map((need) => engine.lacks[need]).find(Boolean) ?? false });

// The steps of a road: [action, control, text]; 'key' and 'keys' take a key
// or a text in the control's place, 'clickAt' a selector and a point.
async function perform(page, [action, name, text, detail]) {
  const selector = `#${name}`;
  switch (action) {
    case 'click': return page.click(selector);
    case 'tap': return page.tap(selector);
    case 'type': return page.fill(selector, text);
    case 'focus': return page.evaluate((selector) => document.querySelector(`${selector} input, ${selector}`).focus(),
      selector);
    case 'key': return page.press(name);
    case 'keys': return page.type(name);
    case 'closeBox': return page.click('.window .close-box');
    case 'background': return page.click('body', { at: { x: 5, y: 5 } });
    // A click at a point: [_, selector, {x, y}, clicks].
    case 'clickAt': return page.click(name, { at: text, count: detail });
    // Text put in as a keyboard's suggestion does, or an input method.
    case 'insertText':
    case 'compose':
      await perform(page, ['focus', name]);
      return page[action](text);
    case 'set':
      // As a script or an input method may leave it; "<D800>" is a lone surrogate.
      return page.evaluate(([selector, text]) => {
        document.querySelector(selector).value = text.replaceAll('<D800>', String.fromCharCode(0xD800));
      }, [selector, text]);
    case 'insert':
      // Text put in with no paste or key event, as the browser announces it
      // (beforeinput, of the kind `detail`, a paste's by default); where the
      // page lets it, the browser's own insertion follows. "<D800>" is a lone
      // surrogate, which cannot cross from the test to the page as text, and
      // megabytes cross slowly: "<7×9>" is "9999999".
      await page.evaluate(([selector, text, kind]) => {
        const field = document.querySelector(selector);
        text = text.replaceAll('<D800>', String.fromCharCode(0xD800))
          .replace(/<(\d+)×(.)>/g, (_, count, c) => c.repeat(count));
        field.focus();
        const announced = new InputEvent('beforeinput', { inputType: kind, data: text, bubbles: true, cancelable: true });
        if (field.dispatchEvent(announced)) document.execCommand('insertText', false, text);
      }, [selector, text, detail ?? 'insertFromPaste']);
      return page.waitFor((selector) => document.querySelector('.window[aria-busy]') ||
        document.querySelector(selector).value !== '', selector);
    case 'clipboard': {
      // A real paste at the end of the field, through the engine's clipboard.
      await page.evaluate((selector) => {
        const field = document.querySelector(selector);
        field.focus();
        field.setSelectionRange(field.value.length, field.value.length);
      }, selector);
      const old = await page.evaluate((selector) => document.querySelector(selector).value, selector);
      await page.paste(text);
      return page.waitFor(([selector, old]) => document.querySelector(selector).value !== old, [selector, old]);
    }
    case 'drop': {
      // A real drag from outside the window to the field's end, of an element
      // whose drag carries the text; the field's caret is at its start.
      await page.evaluate(([selector, text]) => {
        document.querySelector(selector).setSelectionRange(0, 0);
        const source = document.createElement('div');
        source.id = 'drag-source';
        source.draggable = true;
        source.textContent = '拖';
        source.style.cssText = 'position: fixed; left: 4px; top: 4px; width: 40px; height: 24px; background: #ff0';
        source.addEventListener('dragstart', (e) => e.dataTransfer.setData('text/plain', text));
        document.body.append(source);
      }, [selector, text]);
      const old = await page.evaluate((selector) => document.querySelector(selector).value, selector);
      const end = await page.evaluate((selector) => {
        const r = document.querySelector(selector).getBoundingClientRect();
        return { x: r.width - 4, y: r.height / 2 };
      }, selector);
      await page.drag('#drag-source', selector, end);
      return page.waitFor(([selector, old]) => document.querySelector(selector).value !== old, [selector, old]);
    }
    default: throw new Error(`unknown step ${action}`);
  }
}

async function readBox(page) {
  await page.waitFor(() => document.querySelector('dialog.box[open]'));
  return page.evaluate(() => {
    const box = document.querySelector('dialog.box');
    return {
      role: box.getAttribute('role'),
      title: box.querySelector('#box-title').textContent,
      icon: box.querySelector('.box-icon').dataset.icon,
      prompt: box.querySelector('#box-prompt').textContent,
      button: box.querySelector('.box-ok').textContent,
    };
  });
}

async function closeBox(page, how = 'click') {
  if (how === 'click') await page.click('dialog.box .box-ok');
  else if (how === 'tap') await page.tap('dialog.box .box-ok');
  else await page.press(how);
  await page.waitFor(() => document.querySelector('dialog.box:not([open])'));
}

const startsWithLoneSurrogate = async (page) =>
  assert.equal(await page.evaluate(() => document.querySelector('#Text1').value.charCodeAt(0)), 0xD800);

const windowState = (page) => page.evaluate(() => Object.fromEntries(
  [...document.querySelectorAll('.client [id]')].map((e) => [e.id,
    e.matches('.option') ? e.querySelector('input').checked
      : e.matches('.field') ? { text: e.value.length > 4096 ? `${e.value.slice(0, 16)}… (${e.value.length})` : e.value,
        enabled: !e.disabled } : e.textContent]),
));

describe(`the page in ${engine.name}`, { concurrency: engine.concurrency }, () => {
  // ------------------------------------------------ the cases of every binding
  // What the page lacks of what the cases ask (Shift+Insert, Ctrl+Shift+Insert
  // and the keypad's Enter are the engines' own matters in a page).
  const LACKS = ['taskbar', 'menu', 'Alt+F4', 'keypad', 'Shift+Insert', 'Control+Shift+Insert', 'page'];
  const KEYS = { Space: 'Space', Enter: 'Enter', Escape: 'Escape', Tab: 'Tab', 'Shift+Tab': 'Shift+Tab',
    ArrowDown: 'ArrowDown', ArrowUp: 'ArrowUp', 'Control+z': 'Control+z' };
  // What the window shows of a control, as the cases name it.
  const show = (page, name) => page.evaluate((name) => {
    const e = document.getElementById(name);
    if (e.matches('.option')) return e.querySelector('input').checked ? 'selected' : '';
    if (e.matches('.field')) return e.value + (e.disabled ? ' (disabled)' : '');
    return e.textContent;
  }, name);
  const expand = (text) => text.replace(/<(\d+)×(.)>/g, (_, count, c) => c.repeat(count));
  async function run(page, steps) {
    for (const step of steps) {
      switch (step.do) {
        case 'Click': await page.click(`#${step.control}`); break;
        case 'Type': await page.fill(`#${step.control}`, step.text); break;
        case 'Key': await page.press(KEYS[step.text]); break;
        case 'Focus': await perform(page, ['focus', step.control]); break;
        case 'Paste': {
          const field = `#${step.control}`;
          await page.evaluate(([field, caret]) => {
            const e = document.querySelector(field);
            e.focus();
            const at = caret < 0 ? e.value.length : caret;
            e.setSelectionRange(at, at);
          }, [field, step.caret]);
          // Done once the paste's events have been handled, whatever it put in.
          await page.evaluate(() => {
            window.trPasted = false;
            addEventListener('paste', () => setTimeout(() => { window.trPasted = true; }), { capture: true, once: true });
          });
          await page.paste(expand(step.text));
          await page.waitFor(() => window.trPasted);
          break;
        }
        case 'CloseBox': await page.click('.window .close-box'); break;
        case 'Focused':
          assert.equal(await page.evaluate(() => document.activeElement.closest('[id]')?.id), step.control, 'focused');
          break;
        case 'Shows': assert.equal(await show(page, step.control), expand(step.text), step.control); break;
        case 'Box': {
          const shown = await readBox(page);
          assert.deepEqual([shown.title, shown.prompt], [step.title, step.text], 'the box');
          await run(page, step.inBox);
          await closeBox(page, 'Enter');
          break;
        }
        default: throw new Error(`unknown step ${step.do}`);
      }
    }
  }
  for (const c of cases) {
    const lacked = c.needs.find((need) => LACKS.includes(need));
    test(`every binding: ${c.name}`, { skip: lacked && `a page has no ${lacked}` }, async () => {
      const page = await open();
      await run(page, c.steps);
      for (const [name, text] of Object.entries(c.shown)) assert.equal(await show(page, name), expand(text), name);
      if (c.closed) await page.waitFor(() => document.querySelector('.ended'));
      assert.equal(await page.evaluate(() => document.querySelector('.window').hidden), c.closed, 'closed');
      await done(page);
    });
  }

  // Each control against its layout row, 15 twips to a CSS pixel: its place,
  // caption, pointer, and the field its label names.
  test('every binding: every control stands where its layout puts it', async () => {
    const page = await open();
    const seen = await page.evaluate(() => {
      const client = document.querySelector('.client').getBoundingClientRect();
      return Object.fromEntries([...document.querySelectorAll('.client [id]')].map((e) => {
        const r = e.getBoundingClientRect();
        const caption = e.matches('.frame') ? e.querySelector('legend').textContent
          : e.matches('.field') ? e.value : e.textContent;
        return [e.id, { place: [r.left - client.left, r.top - client.top, r.width, r.height], caption,
          pointing: getComputedStyle(e).cursor === 'pointer', names: e.matches('.label') ? e.control?.id ?? null : null }];
      }));
    });
    assert.equal(Object.keys(seen).length, rows.length);
    for (const row of rows) {
      const frame = row.container ? rowOf(row.container) : { left: 0, top: 0 };
      assert.deepEqual(seen[row.name], {
        place: [row.left + frame.left, row.top + frame.top, row.width, row.height].map((twips) => Math.round(twips / 15)),
        caption: row.caption, pointing: row.pointingHand, names: row.kind === 'Label' ? row.buddy : null,
      }, row.name);
    }
    await done(page);
  });

  // ------------------------------------------------------- the page's own
  test('the fields bring up a phone\'s full keyboard', async () => {
    // Its digits come with the full stop and the minus sign everywhere: iOS's
    // decimal pad has no minus (and a comma in some regions), a number field
    // takes no blanks or full-width digits.
    const page = await open();
    const keyboards = await page.evaluate(() => [...document.querySelectorAll('.field')]
      .map((f) => `${f.id}: ${f.type}, ${f.inputMode || 'text'}`).sort());
    assert.deepEqual(keyboards, rows.filter((r) => r.kind === 'TextBox').map((r) => `${r.name}: text, text`).sort());
    await done(page);
  });

  // 1500 rev/min against 100 rad/s, to the result box.
  const CALCULATION = [['click', 'Option1'], ['click', 'Option5'], ['type', 'Text1', '1500'], ['type', 'Text3', '100'], ['click', 'Command1']];

  // Each road ends in a box; the window stays as it was once it is closed.
  // SET_UP: rev/min on both sides, 1500 in, 3 out, the focus in the second field.
  const SET_UP = [['click', 'Option1'], ['click', 'Option4'], ['type', 'Text1', '1500'], ['type', 'Text3', '3']];
  const roads = [
    { name: 'Enter with the page behind the window focused presses 确 定', steps: [['background'], ['key', 'Enter']],
      box: { title: 'Error!', icon: 'critical', prompt: NO_KIND } },
    { name: 'a paste with a second line of 7 MB keeps its first line',
      steps: [['click', 'Option1'], ['click', 'Option4'], ['insert', 'Text1', `1500\r\n<${7 << 20}×7>`],
        ['insert', 'Text3', `3000\n<${1 << 20}×x>`], ['click', 'Command1']],
      box: result('传动比为： 0.5'), fields: { Text1: '1500', Text3: '3000' } },
    { name: 'a first line of two million digits', steps: [['click', 'Option1'], ['click', 'Option4'],
      ['insert', 'Text1', '<2000000×9>'], ['type', 'Text3', '1'], ['click', 'Command1']],
    box: { title: /^(Result|Error)！$/ } },
    { name: 'a lone surrogate pasted is kept as it came, and read safely', steps: [['click', 'Option1'],
      ['click', 'Option4'], ['insert', 'Text1', '<D800>1500'], ['type', 'Text3', '3'], ['click', 'Command1']],
    box: { title: /^(Result|Error)！$/ }, check: startsWithLoneSurrogate },
    { name: 'a lone surrogate in a field is read safely', steps: [['click', 'Option1'], ['click', 'Option4'],
      ['set', 'Text1', '<D800>1500'], ['type', 'Text3', '3'], ['click', 'Command1']],
    box: { title: /^(Result|Error)！$/ }, check: startsWithLoneSurrogate },
    // Lines put in with no paste: a keyboard's clipboard strip or suggestion,
    // a dictation, an autocorrection, an input method.
    ...[['insertText', "a keyboard's clipboard strip"], ['insertReplacementText', 'a dictation']].map(([kind, by]) => ({
      name: `lines put in by ${by} (${kind}) keep the first`, steps: [['click', 'Option1'], ['click', 'Option4'],
        ['insert', 'Text1', '1500\n2000', kind], ['type', 'Text3', '3'], ['click', 'Command1']],
      box: result('传动比为： 500'), fields: { Text1: '1500' } })),
    { name: "lines of a keyboard's suggestion keep the first", needs: ['insertText'], steps: [['click', 'Option1'],
      ['click', 'Option4'], ['insertText', 'Text1', '1500\n2000'], ['type', 'Text3', '3'], ['click', 'Command1']],
    box: result('传动比为： 500'), fields: { Text1: '1500' } },
    { name: "lines of an input method's commit keep the first", needs: ['devtools'], steps: [['click', 'Option1'],
      ['click', 'Option4'], ['compose', 'Text1', '1500\n2000'], ['type', 'Text3', '3'], ['click', 'Command1']],
    box: result('传动比为： 500'), fields: { Text1: '1500' } },
    // Drops by the engine's drag and drop: the browser's own events.
    { name: 'a drop goes where it is dropped and keeps its first line', needs: ['drop'],
      steps: [...SET_UP, ['drop', 'Text1', '3\n9'], ['click', 'Command1']],
      box: result('传动比为： 5001'), fields: { Text1: '15003' } },
    { name: 'Ctrl+Z after a drop gives back the text the field showed before it', needs: ['drop'],
      steps: [...SET_UP, ['drop', 'Text1', '3\n9'], ['key', 'Control+z'], ['click', 'Command1']],
      box: result('传动比为： 500'), fields: { Text1: '1500' } },
    // A click where nothing takes the focus leaves it in its field.
    { name: "digits typed after a click on the window's background go to the field",
      steps: [...SET_UP, ['clickAt', '.client', { x: 5, y: 5 }], ['keys', '00'], ['click', 'Command1']],
      box: result('传动比为： 5'), fields: { Text3: '300' } },
    ...[['#Frame2 legend', "a frame's caption"], ['#Text2', 'a disabled field'], ['#Label4', "a disabled field's label"]]
      .map(([selector, what]) => ({ name: `digits typed after a click on ${what} go to the field`,
        steps: [...SET_UP, ['clickAt', selector, { x: 4, y: 4 }], ['keys', '00'], ['click', 'Command1']],
        box: result('传动比为： 5'), fields: { Text3: '300' } })),
    { name: 'an option chosen while the caret is in the field it disables takes the focus',
      steps: [['click', 'Option3'], ['click', 'Option4'], ['type', 'Text2', '100'], ['click', 'Option1'],
        ['key', 'ArrowDown'], ['type', 'Text1', '1500'], ['type', 'Text3', '3'], ['click', 'Command1']],
      box: { title: 'Result！' }, check: async (page) => assert.equal((await windowState(page)).Option2, true) },
    // The box keeps 确定 focused, as a Windows box does: Enter closes it.
    ...[['#box-prompt', 'prompt'], ['#box-title', 'title'], ['.box-body', 'body']].map(([selector, part]) => ({
      name: `a click on the box's ${part} leaves 确定 focused`, steps: [['click', 'Command1']],
      box: { prompt: NO_KIND }, inBox: [['clickAt', selector, { x: 3, y: 5 }]] })),
    { name: "the box's prompt can be selected, and Enter still closes the box", steps: [['click', 'Command1']],
      box: { prompt: NO_KIND }, inBox: [['clickAt', '#box-prompt', { x: 20, y: 5 }, 2]],
      check: async (page) => assert.notEqual(await page.evaluate(() => getSelection().toString()), '') },
    // What is done before the program is ready waits for it, in its order.
    { name: 'clicks, keys and a paste made before the program is ready', early: true,
      steps: [['click', 'Option1'], ['click', 'Option4'], ['click', 'Text1'], ['keys', '1500'], ['click', 'Text3'],
        ['insert', 'Text3', '600\n7'], ['key', 'Enter']], box: result('传动比为： 2.5'),
      fields: { Text1: '1500', Text3: '600' } },
    // The host's page after one visit, with the network off.
    { name: 'the web app opens and computes with no network after one visit', offline: true,
      steps: [['click', 'Option1'], ['click', 'Option4'], ['type', 'Text1', '1500'], ['type', 'Text3', '600'],
        ['click', 'Command1']], box: result('传动比为： 2.5') },
    // A phone: the window scaled to its width, and fingers.
    { name: "taps on a phone: the options, 确 定 and the box's 确定", phone: true, needs: ['touch'],
      steps: [['tap', 'Option1'], ['tap', 'Option4'], ['type', 'Text1', '1500'], ['type', 'Text3', '3'],
        ['tap', 'Command1']], box: result('传动比为： 500') },
    { name: 'digits typed after a tap on a disabled field go to the field', phone: true, needs: ['touch'],
      steps: [['tap', 'Option1'], ['tap', 'Option4'], ['type', 'Text1', '1500'], ['type', 'Text3', '3'],
        ['tap', 'Text2'], ['keys', '00'], ['tap', 'Command1']], box: result('传动比为： 5'), fields: { Text3: '300' } },
  ];
  for (const road of roads) {
    test(`box: ${road.name}`, needing(...road.needs ?? []), async () => {
      const host = (road.early || road.offline) && await serve(hostFolder, { hold: road.early && /\.wasm$/ });
      const page = await open({ phone: road.phone, profile: road.offline }, { host, early: road.early });
      if (road.offline) {
        await page.waitFor(() => navigator.serviceWorker.controller);
        await host.close();
        await page.goto(host.url);
        await page.waitFor(ready);
      }
      const [press, close] = road.phone ? ['tap', 'tap'] : ['click', 'Enter'];
      for (const step of road.steps) await perform(page, step);
      if (road.early) host.release();
      const shown = await readBox(page);
      assert.equal(shown.role, 'alertdialog');
      assert.equal(shown.button, '确定');
      for (const [key, want] of Object.entries(road.box)) {
        if (want instanceof RegExp) assert.match(shown[key], want, key);
        else assert.equal(shown[key], want, key);
      }
      const before = await windowState(page);
      for (const [field, text] of Object.entries(road.fields ?? {})) assert.equal(before[field].text, text, field);
      for (const step of road.inBox ?? []) await perform(page, step);
      if (road.check) await road.check(page);
      await closeBox(page, close);
      assert.deepEqual(await windowState(page), before, 'the window is unchanged');
      // The window goes on: another press shows another box.
      await page[press]('#Command1');
      await readBox(page);
      await closeBox(page, press);
      await done(page);
      if (host && !road.offline) await host.close();
    });
  }

  test('the first stop has the focus when the page opens, and no box opens unasked', async () => {
    const page = await browser.open();
    // Where the engine can watch the page from its start: no box is opened
    // or focused, even unseen (a screen reader would announce it).
    const watched = !engine.lacks.initScript;
    if (watched) {
      await page.beforeLoad(() => {
        window.trSeen = [];
        document.addEventListener('focusin', (e) => e.target.closest('dialog') && trSeen.push('focus in a box'), true);
        new MutationObserver(() => document.querySelector('dialog[open]') && trSeen.push('a box open'))
          .observe(document, { subtree: true, attributes: true, attributeFilter: ['open'] });
      });
    }
    await page.goto(pageUrl);
    await page.waitFor(ready);
    await page.evaluate(pause);
    const first = rows.filter((r) => ['OptionButton', 'TextBox', 'PushButton'].includes(r.kind))
      .sort((a, b) => a.tabIndex - b.tabIndex)[0].name;
    assert.equal(await page.evaluate(() => document.activeElement.closest('[id]')?.id), first);
    if (watched) assert.deepEqual(await page.evaluate(() => trSeen), []);
    await done(page);
  });

  test("web app: the host's page is one the browser offers to install", needing('devtools'), async () => {
    const host = await serve(hostFolder);
    const page = await open({ profile: true }, { host });
    await page.waitFor(() => navigator.serviceWorker.controller);
    assert.deepEqual(await page.installabilityErrors(), []);
    await done(page);
    await host.close();
  });

  test('the ended page starts the program again', async () => {
    const page = await open();
    await page.click('#Command2');
    await page.waitFor(() => document.querySelector('.ended'));
    assert.match(await page.evaluate(() => document.querySelector('.ended').textContent), /程序已经结束/);
    await page.click('.ended button');
    await page.waitFor(ready);
    assert.equal(await page.evaluate(() => document.querySelector('.ended') === null), true);
    await done(page);
  });

  test('closing while a box is open waits for the box', async () => {
    const page = await open();
    await page.click('#Command1');
    await readBox(page);
    // The page is inert behind the box: the close box cannot be reached.
    await page.click('.window .close-box', { force: true });
    assert.equal(await page.evaluate(() => document.querySelector('dialog.box').open), true, 'the box stays');
    await closeBox(page);
    assert.equal(await page.evaluate(() => document.querySelector('.window').hidden), false);
    await done(page);
  });

  // What axe-core finds against the WCAG rules and its best practices, in
  // each state the page can be in.
  const audits = [
    { name: 'the window', steps: [] },
    { name: 'a result box', steps: CALCULATION, wait: () => document.querySelector('dialog.box[open]') },
    { name: 'the ended page', steps: [['click', 'Command2']], wait: () => document.querySelector('.ended') },
  ];
  for (const audit of audits) {
    test(`accessibility: ${audit.name}, no violation`, async () => {
      const page = await open();
      for (const step of audit.steps) await perform(page, step);
      if (audit.wait) await page.waitFor(audit.wait);
      await page.evaluate((source) => (0, eval)(source), axeSource);
      const violations = await page.evaluate(() => axe.run({ resultTypes: ['violations'] }).then((found) =>
        found.violations.map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(' ')).join(', ')}`)));
      assert.deepEqual(violations, []);
      await done(page);
    });
  }

  // Which faces drew each Chinese text, as Chromium reports them.
  const texts = [
    { selector: '#Label1', faces: SONG },
    { selector: '#Command1', faces: SONG },
    { selector: '#Frame1 legend', faces: INTERFACE },
    { selector: '#Option3 span', faces: INTERFACE },
    { selector: '.window .caption', faces: INTERFACE },
    { selector: '#box-prompt', faces: INTERFACE, box: true },
  ];
  test('fonts: every Chinese text is drawn in its faces, none in a fallback', needing('devtools'), async () => {
    const page = await open();
    await page.click('#Command1');
    await readBox(page);
    const cdp = await page.raw.context().newCDPSession(page.raw);
    await cdp.send('DOM.enable');
    await cdp.send('CSS.enable');
    const { root: documentNode } = await cdp.send('DOM.getDocument', { depth: -1 });
    for (const text of texts) {
      const { nodeId } = await cdp.send('DOM.querySelector', { nodeId: documentNode.nodeId, selector: text.selector });
      const { fonts } = await cdp.send('CSS.getPlatformFontsForNode', { nodeId });
      assert.ok(fonts.length > 0, `${text.selector} is drawn`);
      for (const font of fonts) {
        assert.ok(text.faces.includes(font.familyName), `${text.selector}: ${font.familyName} (${font.glyphCount} glyphs)`);
      }
    }
    await done(page);
  });

  test('network: the page asks for nothing but itself, before or after a calculation', needing('devtools'), async () => {
    const page = await open();
    for (const step of CALCULATION) await perform(page, step);
    await readBox(page);
    await closeBox(page);
    await page.click('#Command2');
    await page.waitFor(() => document.querySelector('.ended'));
    assert.deepEqual(page.requests, [pageUrl]);
    await done(page);
  });

  test('a page narrower than the window scales the whole window to its width', async () => {
    const page = await open({ width: 320, height: 480 });
    const sizes = await page.evaluate(() => {
      const box = (s) => {
        const { left, right, width } = document.querySelector(s).getBoundingClientRect();
        return { left, right, width };
      };
      return { window: box('.window'), client: box('.client'), text1: box('#Text1'), width: innerWidth };
    });
    assert.ok(sizes.window.left >= 0 && sizes.window.right <= sizes.width + 0.5, 'the window fits');
    assert.ok(Math.abs(sizes.text1.width / sizes.client.width - 81 / 457) < 0.01, 'the layout keeps its proportions');
    await page.resize(800, 600);
    await page.waitFor(() => document.querySelector('.client').getBoundingClientRect().width === 457);
    await done(page);
  });
});
