// The page side of the browser binding (toolkit/web/web_window.cpp), loaded
// before the program. It makes the window's elements as the program asks and
// queues what the user does (clicks, the close box, pasted text) for the
// program's event loop, which takes one event at a time between handlers. It
// computes nothing, and of the window's rules it keeps only the keys of a
// dialog (Tab in the program's order, Enter, Esc): which click runs a
// handler, whether the window closes and what a paste keeps are the
// program's to say.
var TrPage = (() => {
  // Event kinds, as web_window.cpp reads them: kind * 256 + control index.
  const CLICK = 1, CLOSE_BOX = 2, INSERT = 3;
  const decoder = new TextDecoder('utf-16le');
  const controls = [];  // by control index: the element in the control's place
  const inputs = [];    // by control index: the element that takes the focus
  const queue = [];
  const inserted = [];  // texts waiting for the program, in the queue's order
  let wake = null, held = '', focusOrder = [];
  let desktop, win, client, defaultButton, cancelButton, box;

  function post(kind, index) {
    queue.push(kind * 256 + index);
    if (wake) wake();
  }

  function make(tag, className, text) {
    const element = document.createElement(tag);
    if (className) element.className = className;
    if (text !== undefined) element.textContent = text;
    return element;
  }

  function titleBar(caption, captionId, onClose) {
    const bar = make('div', 'titlebar');
    const title = make('span', 'caption', caption);
    title.id = captionId;
    const close = make('button', 'close-box');
    close.type = 'button';
    close.tabIndex = -1;
    close.title = '关闭';
    close.setAttribute('aria-label', '关闭');
    close.innerHTML = '<svg viewBox="0 0 10 10" aria-hidden="true"><path d="M0 0L10 10M10 0L0 10"/></svg>';
    close.addEventListener('mousedown', (e) => e.preventDefault());
    close.addEventListener('click', onClose);
    bar.append(title, close);
    return bar;
  }

  // A group's tab stop is its selected option, or its first one.
  function isStop(element) {
    if (element.disabled) return false;
    if (element.type !== 'radio') return true;
    const group = focusOrder.filter((o) => o.type === 'radio' && o.name === element.name && !o.disabled);
    return element === (group.find((o) => o.checked) || group[0]);
  }

  // Tab and Shift+Tab, round the window in the program's tab order.
  function moveFocus(step) {
    const from = document.activeElement;
    const count = focusOrder.length;
    let i = focusOrder.indexOf(from);
    if (i < 0) i = step > 0 ? -1 : 0;
    for (let k = 0; k < count; k++) {
      i = (i + step + count) % count;
      const to = focusOrder[i];
      const sameGroup = to.type === 'radio' && from && from.type === 'radio' && to.name === from.name;
      if (isStop(to) && !sameGroup) return to.focus();
    }
  }

  function onKey(e) {
    if (e.isComposing || e.keyCode === 229 || e.altKey || e.ctrlKey || e.metaKey) return;
    // WebKitGTK names Shift+Tab's key (ISO_Left_Tab) "Unidentified".
    if (e.key === 'Tab' || e.code === 'Tab') {
      e.preventDefault();
      moveFocus(e.shiftKey ? -1 : 1);
    } else if (e.shiftKey) {
      return;
    } else if (e.key === 'Enter' && !e.target.classList.contains('push')) {
      // A focused push button takes Enter itself, as on Windows.
      e.preventDefault();
      if (defaultButton) defaultButton.click();
    } else if (e.key === 'Escape') {
      e.preventDefault();
      if (cancelButton) cancelButton.click();
    }
  }

  // On a page narrower than the window, the whole window is scaled down.
  function fit() {
    if (!win || win.hidden) return;
    const scale = Math.min(1, desktop.clientWidth / win.offsetWidth);
    win.style.transform = scale < 1 ? `scale(${scale})` : '';
    win.style.marginBottom = scale < 1 ? `${(scale - 1) * win.offsetHeight}px` : '';
  }

  function container(index) { return index < 0 ? client : controls[index]; }

  function insertText(e, text) {
    e.preventDefault();
    inserted.push(text);
    post(INSERT, inputs.indexOf(e.currentTarget));
  }

  const icons = {
    information: '<circle cx="16" cy="16" r="15" fill="#1e6fd0"/><circle cx="16" cy="9" r="2.2" fill="#fff"/><rect x="14" y="13" width="4" height="11" fill="#fff"/>',
    critical: '<circle cx="16" cy="16" r="15" fill="#d92b2b"/><path d="M10 10L22 22M22 10L10 22" stroke="#fff" stroke-width="3"/>',
  };

  function makeBox() {
    box = make('dialog', 'box');
    box.setAttribute('role', 'alertdialog');
    box.setAttribute('aria-labelledby', 'box-title');
    box.setAttribute('aria-describedby', 'box-prompt');
    const body = make('div', 'box-body');
    const icon = make('span', 'box-icon');
    icon.setAttribute('role', 'img');
    const prompt = make('p', 'box-prompt');
    prompt.id = 'box-prompt';
    body.append(icon, prompt);
    const buttons = make('div', 'box-buttons');
    const ok = make('button', 'box-ok', '确定');
    ok.type = 'button';
    ok.addEventListener('click', () => box.close());
    buttons.append(ok);
    box.append(titleBar('', 'box-title', () => box.close()), body, buttons);
    document.body.append(box);
  }

  return {
    text: (pointer, length) => decoder.decode(HEAPU8.subarray(pointer, pointer + 2 * length)),
    hold(text) {
      held = text;
      return text.length;
    },
    copyHeld(out) {
      for (let i = 0; i < held.length; i++) HEAPU16[(out >> 1) + i] = held.charCodeAt(i);
      held = '';
    },
    takeInserted: () => inserted.shift() || '',
    control: (index) => controls[index],
    input: (index) => inputs[index],

    makeWindow(caption, icon, width, height) {
      const resource = [...document.querySelectorAll('template[data-resource]')]
        .find((t) => t.dataset.resource === icon);
      const picture = resource && resource.content.querySelector('svg');
      if (!picture) return 0;
      document.title = caption;
      const favicon = make('link');
      favicon.rel = 'icon';
      favicon.href = 'data:image/svg+xml,' + encodeURIComponent(picture.outerHTML);
      document.head.append(favicon);
      desktop = document.getElementById('desktop');
      win = make('section', 'window');
      win.hidden = true;
      win.setAttribute('aria-labelledby', 'caption');
      const bar = titleBar(caption, 'caption', () => post(CLOSE_BOX, 0));
      const mark = picture.cloneNode(true);
      mark.setAttribute('class', 'icon');
      mark.setAttribute('aria-hidden', 'true');
      bar.prepend(mark);
      client = make('div', 'client');
      client.style.width = width + 'px';
      client.style.height = height + 'px';
      win.append(bar, client);
      // The window has the keys, also when the page itself has the focus;
      // not while a box is open or once the window is gone.
      document.addEventListener('keydown', (e) => {
        if (!win.hidden && !(box && box.open) && !e.defaultPrevented) onKey(e);
      });
      desktop.append(win);
      addEventListener('resize', fit);
      return 1;
    },
    makeFrame(index, into, caption) {
      const frame = make('fieldset', 'frame');
      frame.append(make('legend', '', caption));
      controls[index] = frame;
      container(into).append(frame);
    },
    makeOption(index, into, caption) {
      const option = make('label', 'option');
      const radio = make('input');
      radio.type = 'radio';
      radio.name = 'group' + into;
      radio.addEventListener('click', () => post(CLICK, index));
      option.append(radio, make('span', '', caption));
      controls[index] = option;
      inputs[index] = radio;
      container(into).append(option);
    },
    makeLabel(index, into, caption) {
      controls[index] = make('label', 'label', caption);
      container(into).append(controls[index]);
    },
    makeTextBox(index, into, text) {
      const field = make('input', 'field');
      field.type = 'text';
      field.value = text;
      field.autocomplete = 'off';
      field.spellcheck = false;
      field.addEventListener('paste', (e) => insertText(e, e.clipboardData ? e.clipboardData.getData('text/plain') : ''));
      field.addEventListener('drop', (e) => insertText(e, e.dataTransfer ? e.dataTransfer.getData('text/plain') : ''));
      controls[index] = inputs[index] = field;
      container(into).append(field);
    },
    makePushButton(index, into, caption, role) {
      const button = make('button', role === 1 ? 'push default' : 'push', caption);
      button.type = 'button';
      button.addEventListener('click', () => post(CLICK, index));
      if (role === 1) defaultButton = button;
      if (role === 2) cancelButton = button;
      controls[index] = inputs[index] = button;
      container(into).append(button);
    },
    place(index, name, left, top, width, height, font, pointing) {
      const element = controls[index];
      element.id = name;
      Object.assign(element.style, {
        left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px',
      });
      if (font) element.style.font = font;
      if (pointing) element.style.cursor = 'pointer';
    },
    nameField(label, field) { controls[label].htmlFor = controls[field].id; },
    setFocusOrder(indices) { focusOrder = indices.map((i) => inputs[i]); },
    insert(index, text) {
      const field = inputs[index];
      field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
    },

    showWindow() {
      win.hidden = false;
      fit();
      moveFocus(1);
      // The box is made once the window's first frame is drawn, while the
      // user reads the window, not when the first box is asked for.
      requestAnimationFrame(() => setTimeout(() => box || makeBox()));
    },
    closeWindow() {
      if (box && box.open) box.close();
      if (win) win.hidden = true;
      const ended = make('div', 'ended');
      ended.setAttribute('role', 'status');
      const again = make('button', '', '重新打开');
      again.type = 'button';
      again.addEventListener('click', () => location.reload());
      ended.append(make('p', '', '程序已经结束。'), again);
      (desktop || document.body).append(ended);
      again.focus();
      return 1;
    },
    showStartFailure(line) {
      const failure = make('p', 'ended', '窗口无法打开：' + line);
      failure.setAttribute('role', 'alert');
      (desktop || document.body).append(failure);
    },
    showMessage(prompt, title, critical) {
      if (!box) makeBox();
      box.querySelector('#box-title').textContent = title;
      box.querySelector('#box-prompt').textContent = prompt;
      const icon = box.querySelector('.box-icon');
      const kind = critical ? 'critical' : 'information';
      icon.dataset.icon = kind;
      icon.setAttribute('aria-label', critical ? '错误' : '信息');
      icon.innerHTML = `<svg viewBox="0 0 32 32" aria-hidden="true">${icons[kind]}</svg>`;
      const back = document.activeElement;
      return new Promise((resolve) => {
        box.addEventListener('close', () => {
          if (back && back.isConnected) back.focus();
          resolve(1);
        }, { once: true });
        try {
          box.showModal();
          box.querySelector('.box-ok').focus();
        } catch (failure) {
          resolve(0);
        }
      });
    },
    nextEvent() {
      return new Promise((resolve) => {
        wake = () => {
          wake = null;
          resolve(queue.shift());
        };
        if (queue.length) wake();
      });
    },
  };
})();
