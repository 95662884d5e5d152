// The plant page: every station and camera of a plant, live, built from the broker's retained
// topics so that it is complete as soon as it connects. Payloads come from the network and are
// not trusted: they reach the page as text (textContent, attribute values) only, never as markup.
'use strict';

(() => {
  const TOPICS = ['station/+/status', 'station/+/camera', 'station/+/verdict',
                  'camera/+/last-verdict', 'camera/+/telemetry'];
  const SETTING_KEYS = ['broker', 'root', 'user', 'password'];
  const STORAGE_KEY = 'qn-plant-settings';
  const STALE_AFTER_PERIODS = 3;
  const DEFAULT_PERIOD_S = 10;
  const EVENTS_KEPT = 5000;
  const STATION_STATES = new Set(['online', 'offline', 'lost']);
  const NONE = '\u2014';

  // ---- Settings: the query string wins over what the form stored, which wins over defaults.

  function defaultSettings() {
    const scheme = location.protocol === 'https:' ? 'wss' : 'ws';
    return { broker: `${scheme}://${location.hostname || 'localhost'}:9001`, root: 'plant',
             user: '', password: '' };
  }

  function storedSettings() {
    try {
      const stored = JSON.parse(localStorage.getItem(STORAGE_KEY) || '{}');
      return Object.fromEntries(SETTING_KEYS.filter(k => typeof stored[k] === 'string')
                                            .map(k => [k, stored[k]]));
    } catch {
      return {};
    }
  }

  function loadSettings() {
    const settings = { ...defaultSettings(), ...storedSettings() };
    const query = new URLSearchParams(location.search);
    for (const key of SETTING_KEYS) {
      if (query.has(key)) settings[key] = query.get(key);
    }
    return normalSettings(settings);
  }

  // A root is a topic prefix of one or more levels, without slashes at either end.
  function normalSettings(settings) {
    return { ...settings, root: settings.root.replace(/^\/+|\/+$/g, '') || 'plant' };
  }

  // Keeps the settings for the next visit; the address keeps all but the password.
  function saveSettings(settings) {
    try {
      localStorage.setItem(STORAGE_KEY, JSON.stringify(settings));
    } catch { /* a browser without storage still connects */ }
    const query = new URLSearchParams({ broker: settings.broker, root: settings.root, user: settings.user });
    try {
      history.replaceState(null, '', `?${query}`);
    } catch { /* some browsers refuse this for file:// pages */ }
  }

  // ---- The plant as the retained topics describe it.

  function newerOrEqual(record, current) {
    return !current || !(Date.parse(record.time) < Date.parse(current.time));
  }

  class Plant {
    constructor() {
      this.ignored = 0;
      this.lastIgnored = '';
      this.reset();
    }

    // Forgets all but the ignored count: after a reconnect the retained topics come again.
    reset() {
      this.stations = new Map();
      this.cameras = new Map();
      this.seen = new Set();
    }

    station(id) {
      if (!this.stations.has(id)) {
        this.stations.set(id, { id, status: null, camera: null, verdict: null, heard: 0 });
      }
      return this.stations.get(id);
    }

    camera(id) {
      if (!this.cameras.has(id)) this.cameras.set(id, { id, verdict: null, telemetry: null });
      return this.cameras.get(id);
    }

    heard(stationId, now) {
      if (typeof stationId === 'string' && stationId) this.station(stationId).heard = now;
    }

    // kind is "station" or "camera", what the last topic level; an empty text clears the topic.
    receive(kind, id, what, text, topic, now) {
      if (kind === 'station') this.heard(id, now);
      const entry = kind === 'station' ? this.station(id) : this.camera(id);
      const field = { status: 'status', camera: 'camera', verdict: 'verdict',
                      'last-verdict': 'verdict', telemetry: 'telemetry' }[what];
      if (!field) return;
      if (text === '') {
        this.clear(kind, entry, field);
        return;
      }
      let data;
      try {
        data = JSON.parse(text);
      } catch {
        data = null;
      }
      if (data === null || typeof data !== 'object' || Array.isArray(data)) {
        this.ignored += 1;
        this.lastIgnored = topic;
        return;
      }
      if (field === 'verdict') {
        this.verdict(data, kind === 'station' ? id : data.station, kind === 'camera' ? id : data.cameraId);
      } else {
        entry[field] = data;
      }
      if (kind === 'camera') this.heard(data.station, now);
    }

    clear(kind, entry, field) {
      if (field === 'verdict' && entry.verdict) this.seen.delete(`${kind}/${entry.id}|${entry.verdict.event}`);
      entry[field] = null;
    }

    // One station's log record: the last verdict of that station and of the camera it names.
    // At-least-once delivery may bring it twice, and a late copy must not hide a newer one.
    verdict(record, stationId, cameraId) {
      const targets = [];
      if (typeof stationId === 'string' && stationId) targets.push(['station', this.station(stationId)]);
      if (typeof cameraId === 'string' && cameraId) targets.push(['camera', this.camera(cameraId)]);
      for (const [kind, entry] of targets) {
        const key = `${kind}/${entry.id}|${record.event}`;
        if (typeof record.event === 'string' && this.seen.has(key)) continue;
        this.seen.add(key);
        if (this.seen.size > EVENTS_KEPT) this.seen.delete(this.seen.values().next().value);
        if (newerOrEqual(record, entry.verdict)) entry.verdict = record;
      }
    }
  }

  // ---- What a row shows: one text (with a class and a tooltip) per data field.

  function text(value) {
    if (value === null || value === undefined) return '';
    if (typeof value === 'object') return JSON.stringify(value);
    return String(value);
  }

  function cell(value, cls = '', title = '') {
    return { text: text(value), cls, title };
  }

  function pad(number) {
    return String(number).padStart(2, '0');
  }

  // Local time; the date only when it is not today. The tooltip keeps what the payload said.
  function timeCell(iso, now, prefix = '') {
    const time = Date.parse(iso);
    if (typeof iso !== 'string' || Number.isNaN(time)) return cell(iso === undefined ? '' : text(iso));
    const date = new Date(time);
    const clock = `${pad(date.getHours())}:${pad(date.getMinutes())}:${pad(date.getSeconds())}`;
    const day = `${date.getFullYear()}-${pad(date.getMonth() + 1)}-${pad(date.getDate())}`;
    const sameDay = date.toDateString() === new Date(now).toDateString();
    return cell(prefix + (sameDay ? clock : `${day} ${clock}`), '', iso);
  }

  function ago(then, now) {
    if (!then) return '';
    const seconds = Math.max(0, Math.round((now - then) / 1000));
    if (seconds < 120) return `${seconds} s ago`;
    const minutes = Math.round(seconds / 60);
    return minutes < 120 ? `${minutes} min ago` : `${Math.round(minutes / 60)} h ago`;
  }

  function resultCell(verdict) {
    if (!verdict) return cell(NONE, 'none');
    const result = text(verdict.result) || 'unknown';
    return cell(result, result === 'ok' ? 'badge good' : 'badge bad', text(verdict.reason));
  }

  function isStale(telemetry, now) {
    const period = Number(telemetry.period) > 0 ? Number(telemetry.period) : DEFAULT_PERIOD_S;
    const time = Date.parse(telemetry.time);
    return Number.isNaN(time) || now - time > STALE_AFTER_PERIODS * period * 1000;
  }

  function orNone(value, suffix = '') {
    return value === null || value === undefined ? NONE : text(value) + suffix;
  }

  const STATION_COLUMNS = [
    ['Station', ['id']],
    ['State', ['state', 'kind']],
    ['Device', ['device']],
    ['Version', ['version']],
    ['Camera there now', ['camera', 'model', 'firmware', 'since']],
    ['Last verdict', ['result', 'verdict-time']],
    ['Backlog', ['backlog']],
    ['Last heard', ['heard']],
  ];

  function stationView(station, now) {
    const status = station.status || {};
    const camera = station.camera || {};
    const state = text(status.state) || 'unknown';
    const known = STATION_STATES.has(state);
    const cameraId = station.camera ? (text(camera.cameraId) || 'none') : NONE;
    return {
      rowClass: state === 'lost' || state === 'offline' ? state : '',
      cells: {
        id: cell(station.id),
        state: cell(state, `badge state-${known ? state : 'other'}`, text(status.time)),
        kind: cell(status.kind),
        device: cell(status.device),
        version: cell(status.version),
        camera: cell(cameraId, camera.cameraId ? '' : 'none'),
        model: cell(camera.cameraId ? camera.model : ''),
        firmware: cell(camera.cameraId && camera.firmware ? `firmware ${text(camera.firmware)}` : ''),
        since: camera.cameraId ? timeCell(camera.since, now, 'since ') : cell(''),
        result: resultCell(station.verdict),
        'verdict-time': timeCell(station.verdict?.time, now),
        backlog: cell(status.backlog, Number(status.backlog) > 0 ? 'warn' : ''),
        heard: cell(ago(station.heard, now)),
      },
    };
  }

  const COUNTERS = [0, 1, 2, 3];
  const CAMERA_COLUMNS = [
    ['Camera', ['id']],
    ['Last verdict', ['result', 'verdict-time', 'verdict-station']],
    ['Temperature', ['temperature']],
    ...COUNTERS.map(n => [`Counter ${n}`, [`counter${n}`, `counter${n}-status`]]),
    ['Link rate', ['rate']],
    ['Online', ['online']],
    ['Telemetry', ['telemetry-time', 'stale']],
  ];

  function cameraView(camera, now) {
    const verdict = camera.verdict;
    const telemetry = camera.telemetry || {};
    const has = camera.telemetry !== null;
    const stale = has && isStale(telemetry, now);
    const cells = {
      id: cell(camera.id),
      result: resultCell(verdict),
      'verdict-time': timeCell(verdict?.time, now),
      'verdict-station': cell(verdict?.station ? `at ${text(verdict.station)}` : ''),
      temperature: cell(has ? orNone(telemetry.temperature, ' \u00b0C') : ''),
      rate: cell(has ? orNone(telemetry.rate) : ''),
      online: has ? cell(telemetry.online ? 'yes' : 'no', telemetry.online ? '' : 'badge bad') : cell(''),
      'telemetry-time': has ? timeCell(telemetry.time, now) : cell(NONE, 'none'),
      stale: cell(stale ? 'stale' : '', stale ? 'badge stale' : ''),
    };
    for (const n of COUNTERS) {
      cells[`counter${n}`] = cell(has ? orNone(telemetry[`counter${n}`]) : '');
      cells[`counter${n}-status`] = cell(telemetry[`counter${n}Status`]);
    }
    const classes = [verdict && verdict.result !== 'ok' ? 'bad' : '', stale ? 'stale' : ''];
    return { rowClass: classes.filter(Boolean).join(' '), cells };
  }

  // ---- A table whose rows are kept by id: only what changed is written, so that a selection
  // or a tooltip survives the once-a-second refresh.

  class TableView {
    constructor(table, columns, rowAttribute) {
      this.body = table.tBodies[0];
      this.columns = columns;
      this.rowAttribute = rowAttribute;
      this.rows = new Map();
      const head = table.tHead.insertRow();
      for (const [title] of columns) {
        const th = document.createElement('th');
        th.textContent = title;
        head.appendChild(th);
      }
    }

    makeRow(id) {
      const row = document.createElement('tr');
      row.setAttribute(this.rowAttribute, id);
      row.fields = {};
      for (const [, fields] of this.columns) {
        const td = row.insertCell();
        fields.forEach((field, index) => {
          const span = document.createElement('span');
          span.dataset.field = field;
          span.base = index === 0 ? 'main' : 'sub';
          td.appendChild(span);
          row.fields[field] = span;
        });
      }
      this.rows.set(id, row);
      return row;
    }

    show(views) {
      const wanted = new Set(views.map(([id]) => id));
      for (const [id, row] of this.rows) {
        if (!wanted.has(id)) {
          row.remove();
          this.rows.delete(id);
        }
      }
      views.forEach(([id, view], index) => {
        const row = this.rows.get(id) || this.makeRow(id);
        if (this.body.children[index] !== row) this.body.insertBefore(row, this.body.children[index] || null);
        if (row.className !== view.rowClass) row.className = view.rowClass;
        for (const [field, value] of Object.entries(view.cells)) {
          const span = row.fields[field];
          const cls = `${span.base} ${value.cls}`.trim();
          if (span.textContent !== value.text) span.textContent = value.text;
          if (span.className !== cls) span.className = cls;
          if (span.title !== value.title) span.title = value.title;
        }
      });
    }
  }

  const byId = (a, b) => a.id.localeCompare(b.id, undefined, { numeric: true });

  function render(plant, views) {
    const now = Date.now();
    const stations = [...plant.stations.values()].filter(s => s.status || s.camera).sort(byId);
    const cameras = [...plant.cameras.values()].filter(c => c.verdict || c.telemetry).sort(byId);
    views.stations.show(stations.map(s => [s.id, stationView(s, now)]));
    views.cameras.show(cameras.map(c => [c.id, cameraView(c, now)]));
    byElement('station-count').textContent = `(${stations.length})`;
    byElement('camera-count').textContent = `(${cameras.length})`;
    byElement('no-stations').hidden = stations.length > 0;
    byElement('no-cameras').hidden = cameras.length > 0;
    const ignored = byElement('ignored');
    ignored.hidden = plant.ignored === 0;
    ignored.textContent = `${plant.ignored} ignored message${plant.ignored === 1 ? '' : 's'} (not JSON)`;
    ignored.title = plant.lastIgnored ? `last on ${plant.lastIgnored}` : '';
  }

  function byElement(id) {
    return document.getElementById(id);
  }

  // ---- The broker connection and what the page says about it.

  function showConnection(state, detail) {
    const element = byElement('connection');
    element.dataset.state = state;
    element.textContent = detail ? `${state}: ${detail}` : state;
  }

  function refusalReason(error) {
    return text(error.message).replace(/^Connection refused:\s*/i, '') || `code ${error.code}`;
  }

  function connect(settings, plant, changed) {
    const prefix = `${settings.root}/`;
    let client;
    try {
      client = mqtt.connect(settings.broker, {
        username: settings.user || undefined,
        password: settings.password || undefined,
        clientId: `qn-plant-${Math.random().toString(16).slice(2, 10)}`,
        clean: true, keepalive: 30, reconnectPeriod: 3000, connectTimeout: 8000, resubscribe: false,
      });
    } catch (error) {
      showConnection('refused', text(error.message));
      return null;
    }
    let refusal = '';
    let wasConnected = false;
    let lastError = '';
    showConnection('connecting', settings.broker);
    client.on('connect', () => {
      refusal = '';
      wasConnected = true;
      plant.reset();
      changed();
      showConnection('connected', `${settings.broker} as ${settings.user || 'anonymous'}`);
      client.subscribe(TOPICS.map(t => prefix + t), { qos: 1 }, (error, granted) => {
        const denied = (granted || []).filter(g => g.qos === 128).map(g => g.topic);
        if (error || denied.length) showConnection('refused', `subscription ${error ? error.message : denied.join(', ')}`);
      });
    });
    client.on('error', error => {
      // A CONNACK refusal carries its return code; anything else is the transport failing.
      if (typeof error.code === 'number') {
        refusal = refusalReason(error);
        showConnection('refused', refusal);
      } else {
        lastError = text(error.message);
      }
    });
    client.on('close', () => {
      if (refusal) return;
      if (wasConnected) showConnection('lost', `reconnecting to ${settings.broker}`);
      else showConnection('connecting', `${settings.broker}${lastError ? ` (${lastError})` : ' (no answer)'}`);
    });
    client.on('reconnect', () => {
      if (refusal) showConnection('refused', `${refusal} (trying again)`);
    });
    const decoder = new TextDecoder('utf-8', { fatal: true });
    client.on('message', (topic, payload) => {
      if (!topic.startsWith(prefix)) return;
      const [kind, id, what, ...rest] = topic.slice(prefix.length).split('/');
      if (rest.length || !id) return;
      let body;
      try {
        body = decoder.decode(payload);
      } catch {
        body = '\ufffd';  // not UTF-8: counted as not JSON
      }
      plant.receive(kind, id, what, body, topic, Date.now());
      changed();
    });
    return client;
  }

  // ---- The page.

  function main() {
    const plant = new Plant();
    const views = {
      stations: new TableView(byElement('stations'), STATION_COLUMNS, 'data-station'),
      cameras: new TableView(byElement('cameras'), CAMERA_COLUMNS, 'data-camera'),
    };
    let pending = false;
    const changed = () => {
      if (pending) return;
      pending = true;
      setTimeout(() => {
        pending = false;
        render(plant, views);
      }, 30);
    };
    setInterval(() => render(plant, views), 1000);

    const form = byElement('settings');
    let settings = loadSettings();
    let client = null;
    const start = () => {
      for (const key of SETTING_KEYS) form.elements[key].value = settings[key];
      byElement('root-name').textContent = settings.root;
      if (client) client.end(true);
      plant.reset();
      render(plant, views);
      if (typeof mqtt === 'undefined') {
        showConnection('refused', 'the MQTT client is missing: run web/plant/setup.sh');
        return;
      }
      client = connect(settings, plant, changed);
    };
    form.addEventListener('submit', event => {
      event.preventDefault();
      const value = key => (key === 'password' ? form.elements[key].value : form.elements[key].value.trim());
      settings = normalSettings(Object.fromEntries(SETTING_KEYS.map(key => [key, value(key)])));
      saveSettings(settings);
      start();
    });
    start();
  }

  document.addEventListener('DOMContentLoaded', main);
})();
