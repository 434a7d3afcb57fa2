// The remote on a phone: the same forms, pictures and button areas as the program's window,
// scaled to the width of the screen. A button sends while the finger stays on it: the page
// renews its hold every 200 ms, and the service ends a hold that is not renewed within 500 ms,
// so a page that goes away never leaves a send running.
'use strict';

const RENEW_MS = 200;
const state = { forms: null, panel: [], codebases: [], category: 1, second: {}, token: null };

function keepToken() {
  const url = new URL(window.location.href);
  const given = url.searchParams.get('token');
  if (given) {
    localStorage.setItem('ardelToken', given);
    url.searchParams.delete('token');
    history.replaceState(null, '', url.pathname + url.search + url.hash);
  }
  state.token = localStorage.getItem('ardelToken');
}

function api(method, path, body) {
  const headers = {};
  if (state.token) headers.Authorization = 'Bearer ' + state.token;
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  return fetch(path, { method, headers, body: body === undefined ? undefined : JSON.stringify(body),
                       keepalive: method !== 'GET' && body === undefined });
}

function say(text) { document.getElementById('message').textContent = text || ''; }

const pct = (v, whole) => (100 * v / whole) + '%';

// An element that shows its rectangle of one of the form's pictures.
function placeRect(el, rect) {
  const [l, t, w, h] = rect;
  const W = state.forms.width, H = state.forms.height;
  el.style.left = pct(l, W); el.style.top = pct(t, H);
  el.style.width = pct(w, W); el.style.height = pct(h, H);
  el.style.backgroundSize = pct(W, w) + ' ' + pct(H, h);
  el.style.backgroundPosition = (w === W ? 0 : pct(l, W - w)) + ' ' + (h === H ? 0 : pct(t, H - h));
}

const skin = (file) => 'url("/skins/' + encodeURIComponent(file) + '")';

function hotOf(category) {
  return state.codebases.find((c) => c.category_number === category && c.hot) || null;
}

function currentForm() { return 2 * state.category - 2 + (state.second[state.category] ? 1 : 0); }

function buildForms() {
  const root = document.getElementById('remote');
  root.textContent = '';
  for (const form of state.forms.forms) {
    const div = document.createElement('div');
    div.className = 'form';
    div.dataset.form = form.form;
    div.dataset.category = form.category;
    for (const button of form.buttons) {
      const el = document.createElement('div');
      el.className = 'element button';
      el.dataset.button = button.name;
      placeRect(el, button.rect);
      attachPress(el, button.name);
      div.appendChild(el);
    }
    for (const item of state.panel) {
      const el = document.createElement('div');
      el.className = 'element panel';
      el.dataset.panel = item.name;
      placeRect(el, item.rect);
      if (item.id === 100) el.classList.add('blip');
      else if (item.id === 1) el.addEventListener('click', () => { toggleSecond(); });
      else if (item.id >= 3 && item.id <= 8) {
        el.dataset.category = item.id - 2;
        el.addEventListener('click', () => selectCategory(item.id - 2));
      } else if (item.id === 2 || item.id === 101) {
        el.addEventListener('click', () => document.getElementById('codebase').focus());
      } else if (!item.visible) continue;
      div.appendChild(el);
    }
    const name = document.createElement('div');
    name.className = 'name-area';
    placeRect(name, form.name_area);
    name.addEventListener('click', () => document.getElementById('codebase').focus());
    div.appendChild(name);
    root.appendChild(div);
  }
}

// Draws the form on the screen as the window does: buttons with a signal in the hot
// codebase active, the others disabled.
function drawForm() {
  const n = currentForm();
  for (const div of document.querySelectorAll('.form')) {
    const shown = Number(div.dataset.form) === n;
    div.classList.toggle('shown', shown);
    if (!shown) continue;
    const form = state.forms.forms[n];
    div.style.backgroundImage = skin(form.images.back);
    const hot = hotOf(form.category);
    const learnt = new Set(hot ? hot.buttons.map((b) => b.name) : []);
    for (const el of div.querySelectorAll('.button')) {
      const active = learnt.has(el.dataset.button);
      el.dataset.state = active ? 'active' : 'disabled';
      el.style.backgroundImage = skin(active ? form.images.active : form.images.disabled);
    }
    for (const el of div.querySelectorAll('.panel')) {
      const category = Number(el.dataset.category || 0);
      const pressed = category === state.category || el.classList.contains('blip');
      el.style.backgroundImage = skin(pressed ? form.images.pressed : form.images.active);
    }
    div.querySelector('.name-area').textContent = hot ? hot.name : '';
  }
  drawSelectors();
}

function drawSelectors() {
  const category = document.getElementById('category');
  if (!category.options.length) {
    for (const c of state.forms.categories) category.add(new Option(c.name, c.category));
  }
  category.value = String(state.category);
  const codebase = document.getElementById('codebase');
  codebase.textContent = '';
  codebase.add(new Option('(none)', ''));
  for (const c of state.codebases.filter((c) => c.category_number === state.category)) {
    const option = new Option(c.name, c.name);
    option.selected = c.hot;
    codebase.add(option);
  }
}

function selectCategory(category) { state.category = category; drawForm(); }
function toggleSecond() { state.second[state.category] = !state.second[state.category]; drawForm(); }

function indicate(on) {
  document.getElementById('indicator').classList.toggle('on', on);
  for (const blip of document.querySelectorAll('.form.shown .blip')) blip.classList.toggle('on', on);
}

let pressing = 0;

function attachPress(el, name) {
  let hold = null;
  const end = () => {
    if (!hold) return;
    clearInterval(hold.timer);
    api('DELETE', '/api/v1/holds/' + hold.id);
    hold = null;
  };
  el.addEventListener('pointerdown', (event) => {
    if (el.dataset.state !== 'active' || hold) return;
    event.preventDefault();
    el.setPointerCapture?.(event.pointerId);
    const form = state.forms.forms[currentForm()];
    const hot = hotOf(form.category);
    const id = Math.random().toString(36).slice(2) + Date.now().toString(36);
    hold = { id, timer: setInterval(() => api('POST', '/api/v1/holds/' + id), RENEW_MS) };
    el.style.backgroundImage = skin(form.images.pressed);
    ++pressing;
    indicate(true);
    const path = '/api/v1/codebases/' + encodeURIComponent(hot.name) + '/buttons/' +
                 encodeURIComponent(name) + '/press';
    api('POST', path, { hold_id: id }).then(async (response) => {
      say(response.ok ? '' : (await response.json()).error);
    }).catch(() => say('the remote cannot be reached')).finally(() => {
      if (--pressing === 0) indicate(false);
    });
  });
  for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
    el.addEventListener(type, () => {
      end();
      if (el.dataset.state === 'active') {
        el.style.backgroundImage = skin(state.forms.forms[currentForm()].images.active);
      }
    });
  }
  window.addEventListener('pagehide', end);
}

async function loadCodebases() {
  const response = await api('GET', '/api/v1/codebases');
  if (!response.ok) { say((await response.json()).error); return; }
  state.codebases = await response.json();
  drawForm();
}

async function start() {
  keepToken();
  const response = await api('GET', '/api/v1/forms');
  if (!response.ok) { say((await response.json()).error); return; }
  state.forms = await response.json();
  state.panel = state.forms.panel;
  buildForms();
  document.getElementById('category').addEventListener('change', (e) => selectCategory(Number(e.target.value)));
  document.getElementById('codebase').addEventListener('change', async (e) => {
    if (!e.target.value) return;
    const r = await api('POST', '/api/v1/codebases/' + encodeURIComponent(e.target.value) + '/hot');
    if (!r.ok) say((await r.json()).error);
  });
  await loadCodebases();
  const events = new EventSource('/api/v1/events');
  events.addEventListener('codebases', loadCodebases);
  events.addEventListener('sent', (e) => {
    const sent = JSON.parse(e.data);
    if (sent.result !== 0) say('the send failed (' + sent.result + ')');
  });
  document.body.dataset.ready = '1';
}

start();
