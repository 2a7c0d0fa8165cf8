// The page, transmission-ratio.html, opened from disk and used as a person
// would, in one browser engine: Chromium, Firefox or WebKit (engines.mjs
// drives each through the same few methods, so every case is written once):
// the window's geometry against the layout table, the roads through the
// boxes, the options, the keys, pastes and drops, closing, the phone's taps,
// accessibility; in Chromium also the fonts and the network.
//
//   TR_WEB_PAGE=build-web/app/transmission-ratio.html TR_WEB_ENGINE=firefox node --test tests/e2e_web/
//
// TR_WEB_ENGINE is chromium (the default), firefox or webkit; webkit needs an
// X server (scripts/with-xvfb.sh) and xdotool.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { engines } from './engines.mjs';
import { serve } from './serve.mjs';

const root = new URL('../../', import.meta.url);
const pagePath = process.env.TR_WEB_PAGE ?? fileURLToPath(new URL('build-web/app/transmission-ratio.html', root));
const pageUrl = pathToFileURL(pagePath).href;
// The folder for a web host, which the build makes beside the page.
const hostFolder = fileURLToPath(new URL('host/', pathToFileURL(pagePath)));
const engine = engines[process.env.TR_WEB_ENGINE ?? 'chromium'];
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// The layout, read from its table in ui/form2_layout.h.
const rows = [...readFileSync(new URL('ui/form2_layout.h', root), 'utf8').matchAll(
  /\{Control::(\w+),\s*ControlKind::(\w+),\s*(?:std::nullopt|Control::(\w+)),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),/g,
)].map(([, name, kind, container, left, top, width, height, tabIndex]) => ({
  name, kind, container, left: +left, top: +top, width: +width, height: +height, tabIndex: +tabIndex,
}));
const rowOf = (name) => rows.find((r) => r.name === name);
// The labels that name a field, and the controls with the pointing hand.
const buddies = [...readFileSync(new URL('ui/form2_layout.h', root), 'utf8').matchAll(
  /\{Control::(\w+),.*Cursor::\w+, Control::(\w+)\}/g)].map(([, label, field]) => ({ label, field }));
const pointing = [...readFileSync(new URL('ui/form2_layout.h', root), 'utf8').matchAll(
  /\{Control::(\w+),.*Cursor::PointingHand/g)].map(([, name]) => name);

// The faces the page may draw its Chinese texts in.
const SONG = ['宋体', 'SimSun', 'AR PL SungtiL GB', 'Noto Serif CJK SC'];
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
  test('the layout table is read: eighteen rows', () => assert.equal(rows.length, 18));

  test('the eighteen controls stand where the layout puts them, 15 twips to a CSS pixel', async () => {
    const page = await open();
    const placed = await page.evaluate(() => {
      const client = document.querySelector('.client').getBoundingClientRect();
      return Object.fromEntries([...document.querySelectorAll('.client [id]')].map((e) => {
        const r = e.getBoundingClientRect();
        return [e.id, [r.left - client.left, r.top - client.top, r.width, r.height]];
      }));
    });
    for (const row of rows) {
      const frame = row.container ? rowOf(row.container) : { left: 0, top: 0 };
      const expected = [row.left + frame.left, row.top + frame.top, row.width, row.height]
        .map((twips) => Math.round(twips / 15));
      assert.deepEqual(placed[row.name], expected, row.name);
    }
    assert.equal(Object.keys(placed).length, 18);
    await done(page);
  });

  test('each field is named by its label; the push buttons show the pointing hand', async () => {
    assert.equal(buddies.length, 4);
    assert.deepEqual(pointing, ['Command1', 'Command2']);
    const page = await open();
    for (const { label, field } of buddies) {
      assert.deepEqual(await page.evaluate((id) => [...document.getElementById(id).labels].map((l) => l.id), field),
        [label], field);
    }
    const cursors = await page.evaluate(() => Object.fromEntries(
      [...document.querySelectorAll('.client [id]')].map((e) => [e.id, getComputedStyle(e).cursor])));
    for (const row of rows) {
      assert.equal(cursors[row.name] === 'pointer', pointing.includes(row.name), row.name);
    }
    // A phone's full keyboard, whose digits come with the full stop and the
    // minus sign everywhere: iOS's decimal pad has no minus (and a comma in
    // some regions), a number field takes no blanks or full-width digits.
    const keyboards = await page.evaluate(() => [...document.querySelectorAll('.field')]
      .map((f) => `${f.id}: ${f.type}, ${f.inputMode || 'text'}`).sort());
    assert.deepEqual(keyboards, rows.filter((r) => r.kind === 'TextBox').map((r) => `${r.name}: text, text`).sort());
    await done(page);
  });

  // Each road ends in a box; the window stays as it was once it is closed.
  // SET_UP: rev/min on both sides, 1500 in, 3 out, the focus in the second field.
  const SET_UP = [['click', 'Option1'], ['click', 'Option4'], ['type', 'Text1', '1500'], ['type', 'Text3', '3']];
  const roads = [
    { name: 'rev/min in, rad/s out',
      steps: [['click', 'Option1'], ['click', 'Option5'], ['type', 'Text1', '1500'], ['type', 'Text3', '100'],
        ['click', 'Command1']],
      box: result('传动比为： 1.570796') },
    { name: 'no speed kind chosen', steps: [['type', 'Text1', '1500'], ['click', 'Command1']],
      box: { title: 'Error!', icon: 'critical', prompt: NO_KIND } },
    { name: 'an empty output speed', steps: [['click', 'Option1'], ['click', 'Option4'], ['type', 'Text1', '1500'],
      ['click', 'Command1']], box: error('数值输入不完全！') },
    { name: 'a zero output speed: the failure box', steps: [['click', 'Option1'], ['click', 'Option4'],
      ['type', 'Text1', '1500'], ['type', 'Text3', '0'], ['click', 'Command1']],
    box: error('输出速度为零，无法计算传动比！请检查输出速度的数值。') },
    { name: 'Enter in a field presses 确 定', steps: [['click', 'Option2'], ['click', 'Option4'],
      ['type', 'Text1', '100'], ['type', 'Text3', '1500'], ['key', 'Enter']], box: result('传动比为： 0.6366198') },
    { name: 'Enter on an option presses 确 定', steps: [['click', 'Option1'], ['key', 'Enter']],
      box: { title: 'Error!', icon: 'critical', prompt: NO_KIND } },
    { name: 'Enter with the page behind the window focused presses 确 定', steps: [['background'], ['key', 'Enter']],
      box: { title: 'Error!', icon: 'critical', prompt: NO_KIND } },
    { name: 'Space on 确 定 presses it', steps: [['focus', 'Command1'], ['key', 'Space']],
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
    // Pastes through the engine's clipboard, drops by the engine's drag and
    // drop: the browser's own events.
    { name: 'a real paste keeps its first line', steps: [...SET_UP, ['clipboard', 'Text3', '00\n7'],
      ['click', 'Command1']], box: result('传动比为： 5'), fields: { Text3: '300' } },
    { name: 'Ctrl+Z after a paste takes the paste back', steps: [...SET_UP, ['clipboard', 'Text3', '00\n7'],
      ['key', 'Control+z'], ['click', 'Command1']], box: result('传动比为： 500'), fields: { Text3: '3' } },
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

  // What choosing an option writes, coming from another option of its side
  // with text in the open fields: captions, and [text, enabled] of fields.
  const choices = [
    { option: 'Option1', from: 'Option3', labels: { Label1: '输入转速n1（转/分钟）：' },
      fields: { Text1: ['', true], Text2: ['Enabled', false] } },
    { option: 'Option2', from: 'Option3', labels: { Label1: '输入转速n1（弧度/秒）：' },
      fields: { Text1: ['', true], Text2: ['Enabled', false] } },
    { option: 'Option3', from: 'Option1', labels: { Label1: '输入速度v（米/秒）：', Label4: '输入速度转轴直径（毫米）：' },
      fields: { Text1: ['', true], Text2: ['', true] } },
    { option: 'Option4', from: 'Option6', labels: { Label2: '输出转速n2（转/分钟）：' },
      fields: { Text3: ['', true], Text4: ['Enabled', false] } },
    { option: 'Option5', from: 'Option6', labels: { Label2: '输出转速n2（弧度/秒）：' },
      fields: { Text3: ['', true], Text4: ['Enabled', false] } },
    { option: 'Option6', from: 'Option4', labels: { Label2: '输出速度v（米/秒）：', Label3: '输出速度转轴直径（毫米）：' },
      fields: { Text3: ['', true], Text4: ['', true] } },
  ];
  for (const choice of choices) {
    test(`options: ${choice.option} relabels and opens or closes its side's fields`, async () => {
      const page = await open();
      await page.click(`#${choice.from}`);
      for (const field of Object.keys(choice.fields)) {
        if (!(await windowState(page))[field].enabled) continue;
        await page.fill(`#${field}`, '42');
      }
      await page.click(`#${choice.option}`);
      const state = await windowState(page);
      assert.equal(state[choice.option], true, choice.option);
      assert.equal(state[choice.from], false, choice.from);
      for (const [label, caption] of Object.entries(choice.labels)) assert.equal(state[label], caption, label);
      for (const [field, [text, enabled]] of Object.entries(choice.fields)) {
        assert.deepEqual(state[field], { text, enabled }, field);
      }
      await done(page);
    });
  }

  test('options: a click on the option already chosen runs nothing; arrows choose within a group', async () => {
    const page = await open();
    await page.click('#Option1');
    await page.fill('#Text1', '1500');
    await page.click('#Option1');
    assert.equal((await windowState(page)).Text1.text, '1500', 'the field keeps its text');
    await page.press('ArrowDown');
    const state = await windowState(page);
    assert.equal(state.Option2, true);
    assert.equal(state.Label1, '输入转速n1（弧度/秒）：');
    assert.equal(state.Text1.text, '');
    await done(page);
  });

  // The tab stops: the layout's focus order, a group one stop at its chosen
  // option (or its first), disabled fields left out, round the window.
  const focusable = rows.filter((r) => ['OptionButton', 'TextBox', 'PushButton'].includes(r.kind))
    .sort((a, b) => a.tabIndex - b.tabIndex);
  const stops = (chosen, disabled) => focusable.filter((r) => {
    if (r.kind !== 'OptionButton') return !disabled.includes(r.name);
    const group = focusable.filter((o) => o.container === r.container);
    return r === (group.find((o) => chosen.includes(o.name)) ?? group[0]);
  }).map((r) => r.name);
  const tabbing = [
    { name: 'nothing chosen', setup: [], chosen: [], disabled: [] },
    { name: 'Option2 and Option6 chosen', setup: [['click', 'Option2'], ['click', 'Option6']],
      chosen: ['Option2', 'Option6'], disabled: ['Text2'] },
  ];
  for (const row of tabbing) {
    test(`Tab and Shift+Tab: ${row.name}`, async () => {
      const page = await open();
      const focused = () => page.evaluate(() => document.activeElement.closest('[id]')?.id);
      const expected = stops(row.chosen, row.disabled);
      for (const step of row.setup) await perform(page, step);
      await perform(page, ['focus', expected[0]]);
      const forward = [await focused()];
      for (let i = 0; i < expected.length; i++) {
        await page.press('Tab');
        forward.push(await focused());
      }
      assert.deepEqual(forward, [...expected, expected[0]]);
      const backward = [];
      for (let i = 0; i < expected.length; i++) {
        await page.press('Shift+Tab');
        backward.push(await focused());
      }
      assert.deepEqual(backward, [...expected].reverse());
      await done(page);
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
    assert.equal(await page.evaluate(() => document.activeElement.closest('[id]')?.id), stops([], [])[0]);
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

  // Every way to close: the window goes, the page says so and can start it again.
  const closings = [
    { name: 'the close box', steps: [['closeBox']] },
    { name: '退 出', steps: [['click', 'Command2']] },
    { name: 'Esc in a field', steps: [['focus', 'Text1'], ['key', 'Escape']] },
    { name: 'Enter on 退 出', steps: [['focus', 'Command2'], ['key', 'Enter']] },
  ];
  for (const closing of closings) {
    test(`closing: ${closing.name}`, async () => {
      const page = await open();
      for (const step of closing.steps) await perform(page, step);
      await page.waitFor(() => document.querySelector('.ended'));
      assert.equal(await page.evaluate(() => document.querySelector('.window').hidden), true);
      assert.match(await page.evaluate(() => document.querySelector('.ended').textContent), /程序已经结束/);
      await page.click('.ended button');
      await page.waitFor(() => document.querySelector('.window:not([hidden])'));
      assert.equal(await page.evaluate(() => document.querySelector('.ended') === null), true);
      await done(page);
    });
  }

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
    { name: 'a result box', steps: roads[0].steps, wait: () => document.querySelector('dialog.box[open]') },
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
    for (const step of roads[0].steps) await perform(page, step);
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
