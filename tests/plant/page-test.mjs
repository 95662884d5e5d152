// The plant page in Chromium, opened from the file system, against a broker of its own: what
// stations publish shows at once from the retained topics, changes live, a killed station's Last
// Will turns it lost, and a wrong password is shown as refused. Exit status 0 only when all held.
import { execFileSync, spawn } from 'node:child_process';
import { chmodSync, existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const { chromium } = createRequire(path.join(repo, 'web/plant/package.json'))('playwright-core');
const ROOT = 'plant/line1';
const work = mkdtempSync(path.join(tmpdir(), 'qn-plant-page-'));
const brokerDir = path.join(work, 'broker');
chmodSync(work, 0o755);  // the broker, started as root, reads its folder as its own user
const screenshot = process.env.QN_PAGE_SCREENSHOT || path.join(work, 'plant-page.png');

const cleanups = [];
async function cleanUp() {
  while (cleanups.length) await cleanups.pop()().catch(error => console.error(`clean-up: ${error.message}`));
}
const abandon = () => cleanUp().finally(() => process.exit(1));
for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, abandon);

const at = () => new Date().toISOString();
const status = (station, state) => ({ station, kind: 'station', state, time: at(), version: '2.01',
                                       device: '/dev/ttyUSB0', backlog: 0 });
const verdict = (station, cameraId, sequence, result, time = at()) => ({
  time, device: '/dev/ttyUSB0', cameraId, userId: 'U7', model: 'QN-5200R-BDX', firmware: '1.23',
  file: 'line1.qns', sha256: 'ab'.repeat(32), result, unreadable: [], refused: 0, storedArea: 1,
  differences: result === 'ok' ? [] : [{ mnemonic: 'GAIN', label: 'Gain', file: '3', camera: '4' }],
  station, sequence, event: `${station}:${sequence}`, schema: 'qn-station-verdict/1' });
const telemetry = (station, cameraId) => ({ station, cameraId, time: at(), online: true, rate: 115200,
  temperature: 41, period: 10, ...Object.fromEntries([0, 1, 2, 3].flatMap(n =>
    [[`counter${n}`, 100 * n], [`counter${n}Status`, 'Counter Idle']])) });

function publish(port, topic, payload, retain) {
  const text = typeof payload === 'string' ? payload : JSON.stringify(payload);
  const body = text === '' ? ['-n'] : ['-m', text];
  execFileSync('mosquitto_pub', ['-h', '127.0.0.1', '-p', port, '-u', 'station', '-P', 'station-secret',
                                 '-q', '1', '-t', `${ROOT}/${topic}`, ...body, ...(retain ? ['-r'] : [])]);
}

// What a station publishes; the station program itself is to take this function's place.
function stationReports(port, sid, { state, camera, record, camTelemetry }) {
  if (state) publish(port, `station/${sid}/status`, status(sid, state), true);
  if (camera) publish(port, `station/${sid}/camera`, { station: sid, cameraId: camera, model: 'QN-5200R-BDX',
                                                       firmware: '1.23', since: at() }, true);
  if (record) {
    publish(port, `station/${sid}/verdict`, record, false);
    publish(port, `camera/${record.cameraId}/last-verdict`, record, true);
  }
  if (camTelemetry) publish(port, `camera/${camTelemetry.cameraId}/telemetry`, camTelemetry, true);
}

// A row of the page by its id, or one field in it.
const rowOf = attribute => (id, field) => `tr[data-${attribute}="${id}"]` + (field ? ` [data-field="${field}"]` : '');
const rowS = rowOf('station');
const rowC = rowOf('camera');

// Waits until the element shows text starting with `text` and has class `cls`, or is gone.
async function expectPage(page, what, selector, { text, cls, gone = false }) {
  const holds = ({ selector, text, cls, gone }) => {
    const element = document.querySelector(selector);
    if (gone) return !element;
    return !!element && (text === undefined || element.textContent.trim().startsWith(text)) &&
           (cls === undefined || element.classList.contains(cls));
  };
  try {
    await page.waitForFunction(holds, { selector, text, cls, gone }, { timeout: 8000 });
  } catch {
    const shown = await page.$eval(selector, e => `"${e.textContent.trim()}" (class "${e.className}")`)
                            .catch(() => 'nothing');
    const wanted = gone ? 'none' : `"${text ?? ''}" ${cls ?? ''}`;
    throw new Error(`${what}: ${selector} shows ${shown}, wanted ${wanted}`);
  }
  console.log(`ok - ${what}`);
}

function startWillClient(port, sid) {
  // Line-buffered, so that its debug output tells at once that it is connected.
  const client = spawn('stdbuf', ['-oL', 'mosquitto_sub', '-d', '-h', '127.0.0.1', '-p', port,
    '-u', 'station', '-P', 'station-secret', '-k', '5', '-t', `${ROOT}/station/${sid}/command`, '--will-topic',
    `${ROOT}/station/${sid}/status`, '--will-payload', JSON.stringify(status(sid, 'lost')),
    '--will-retain', '--will-qos', '1'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const exited = new Promise(resolve => client.on('exit', resolve));
  cleanups.push(() => (client.exitCode === null && client.kill('SIGKILL'), exited));
  return new Promise((resolve, reject) => {
    let output = '';
    client.stdout.on('data', chunk => (output += chunk).includes('CONNACK') && resolve({ client, exited }));
    exited.then(() => reject(new Error(`mosquitto_sub for ${sid} ended: ${output}`)));
    setTimeout(() => reject(new Error(`mosquitto_sub for ${sid} got no CONNACK`)), 5000);
  });
}

// The station program itself on a simulated camera: its verdict reaches the page, and killed
// it turns lost there.
async function realStation(page, port) {
  const camera = path.join(work, 'camera');
  const sim = spawn(process.env.QN_SIM, ['--link', camera], { stdio: 'ignore' });
  cleanups.push(async () => sim.kill('SIGKILL'));
  writeFileSync(path.join(work, 'line.cam'), 'GA=150\r\n');
  writeFileSync(path.join(work, 'password'), 'station-secret\n');
  for (let i = 0; i < 50 && !existsSync(camera); ++i) await new Promise(done => setTimeout(done, 100));
  const station = spawn(process.env.QNCTL, ['--settings', path.join(work, 'qnctl.ini'), '--port', camera, '--fast',
    'station', path.join(work, 'line.cam'), '--log', path.join(work, 'line.jsonl'), '--station-id', 'S4',
    '--mqtt', `mqtt://station@127.0.0.1:${port}/${ROOT}`, '--mqtt-password-file', path.join(work, 'password')],
    { stdio: 'ignore' });
  const exited = new Promise(done => station.on('exit', done));
  cleanups.push(async () => station.kill('SIGKILL'));
  await expectPage(page, 'a real station shows online', rowS('S4', 'state'), { text: 'online' });
  await expectPage(page, 'its verdict shows', rowS('S4', 'result'), { text: 'ok' });
  station.kill('SIGKILL');
  await exited;
  await expectPage(page, 'the killed station turns lost', rowS('S4', 'state'), { text: 'lost' });
}

async function run() {
  execFileSync('bash', [path.join(repo, 'web/plant/setup.sh')], { stdio: 'inherit' });
  const rig = path.join(repo, 'tests/plant/mosquitto-rig.sh');
  cleanups.push(async () => execFileSync('bash', [rig, 'stop', brokerDir]));
  execFileSync('bash', [rig, 'start', brokerDir], { stdio: 'inherit' });
  const ports = Object.fromEntries(readFileSync(path.join(brokerDir, 'ports'), 'utf8').trim().split('\n')
                                     .map(line => line.split('=')));
  const port = ports.TCP_PORT;
  const first = verdict('S1', 'QN0001', 1, 'ok');
  stationReports(port, 'S1', { state: 'online', camera: 'QN0001', record: first,
                               camTelemetry: telemetry('S1', 'QN0001') });
  stationReports(port, 'S3', { camTelemetry: telemetry('S3', 'QN0007') });

  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                          args: process.getuid() === 0 ? ['--no-sandbox'] : [] });
  cleanups.push(() => browser.close());
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  page.on('pageerror', error => console.error(`page error: ${error.message}`));
  const url = pathToFileURL(path.join(repo, 'web/plant/index.html'));
  const broker = `ws://127.0.0.1:${ports.WS_PORT}`;
  const query = password => `?${new URLSearchParams({ broker, root: ROOT, user: 'dash', password })}`;
  await page.goto(url + query('dash-secret'));
  await expectPage(page, 'the page connects as dash', '#connection', { text: 'connected' });
  await expectPage(page, 'a retained status shows', rowS('S1', 'state'), { text: 'online' });
  await expectPage(page, 'the station\'s camera shows', rowS('S1', 'camera'), { text: 'QN0001' });
  await expectPage(page, 'a retained last verdict shows', rowC('QN0001', 'result'), { text: 'ok' });
  await expectPage(page, 'retained telemetry shows', rowC('QN0007', 'temperature'), { text: '41' });

  stationReports(port, 'S1', { record: verdict('S1', 'QN0001', 2, 'differs') });
  stationReports(port, 'S1', { record: first });  // a late second copy of the older one
  await expectPage(page, 'a new verdict shows live', rowS('S1', 'result'), { text: 'differs' });
  await expectPage(page, 'a camera that differs stands out', rowC('QN0001'), { cls: 'bad' });

  publish(port, 'camera/QN0009/telemetry', '{"station": "S3", not json', false);
  publish(port, 'camera/QN0007/telemetry', '', true);
  await expectPage(page, 'a cleared topic removes its camera', rowC('QN0007'), { gone: true });
  await expectPage(page, 'a payload that is not JSON is counted', '#ignored', { text: '1 ignored' });
  await expectPage(page, 'and makes no row', rowC('QN0009'), { gone: true });
  // Delivered in order, so the late copy came before the cleared topic did.
  await expectPage(page, 'a late copy does not hide the newer verdict', rowC('QN0001', 'result'), { text: 'differs' });

  stationReports(port, 'S2', { state: 'online', camera: 'QN0002' });
  const station = await startWillClient(port, 'S2');
  await expectPage(page, 'a second station shows', rowS('S2', 'state'), { text: 'online' });
  station.client.kill('SIGKILL');
  await station.exited;
  await expectPage(page, 'a killed station turns lost', rowS('S2', 'state'), { text: 'lost' });
  await expectPage(page, 'and stands out', rowS('S2'), { cls: 'lost' });
  if (process.env.QNCTL && process.env.QN_SIM)
    await realStation(page, port);
  await page.screenshot({ path: screenshot });
  console.log(`screenshot: ${screenshot}`);

  const refused = await browser.newPage();
  await refused.goto(url + query('wrong'));
  await expectPage(refused, 'a wrong password is refused', '#connection', { text: 'refused' });
  execFileSync('bash', [rig, 'kill', brokerDir]);
  await expectPage(page, 'a broker gone is shown', '#connection', { text: 'lost' });
}

const watchdog = setTimeout(() => console.error('not ok - took longer than 60 s') || abandon(), 60000);
let failed = false;
try {
  await run();
} catch (error) {
  failed = true;
  console.error(`not ok - ${error.message}`);
} finally {
  await cleanUp();
  // The temporary folder stays only when it holds the screenshot.
  rmSync(process.env.QN_PAGE_SCREENSHOT ? work : brokerDir, { recursive: true, force: true });
  clearTimeout(watchdog);
}
console.log(failed ? 'plant page: FAILED' : 'plant page: every check held');
process.exit(failed ? 1 : 0);
