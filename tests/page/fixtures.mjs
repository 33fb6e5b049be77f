// Track data files in both forms the extractor writes, and small clips.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { tmpdir } from 'node:os';

const pad = (n) => String(n).padStart(2, '0');

// The extractor's position label: 25[ 2' 2.27:,121[ 33' 52.08:
export function positionLabel(lat, lon) {
  const half = (v) => {
    const deg = Math.trunc(v);
    const rest = Math.abs(v - deg) * 60;
    const min = Math.floor(rest);
    const sec = (rest - min) * 60;
    const whole = Math.floor(sec);
    return `${deg}[ ${min}' ${whole}.${pad(Math.floor((sec - whole) * 100))}:`;
  };
  return `${half(lat)},${half(lon)}`;
}

// A gentle S-curve drive: sample i of n.
export function drive(i, n, base = { lat: 25.033964, lon: 121.564468 }) {
  const f = i / Math.max(1, n - 1);
  return {
    lat: base.lat + 0.004 * f + 0.0008 * Math.sin(f * Math.PI * 2),
    lon: base.lon + 0.006 * f,
    speed: 30 + 25 * Math.sin(f * Math.PI),
    x: 0.3 * Math.sin(f * 20), y: 0.2 * Math.cos(f * 15), z: 1 + 0.05 * Math.sin(f * 40),
  };
}

const clockOf = (start, seconds) => {
  const total = start.h * 3600 + start.mi * 60 + start.s + seconds;
  return { h: Math.floor(total / 3600), mi: Math.floor(total / 60) % 60, s: total % 60 };
};
const datePart = (d) => `${d.y}/${pad(d.mo)}/${pad(d.d)} `;

// freeGPS form: 10 samples a second, seconds "7.5" (one decimal, no zero).
export function freeGpsTrack(fns, { seconds = 5, start = { y: 2016, mo: 3, d: 1, h: 10, mi: 5, s: 7 },
  sample = drive } = {}) {
  const n = seconds * 10;
  let text = `data['${fns}']=new Array();`;
  for (let i = 0; i < n; i++) {
    const c = clockOf(start, i / 10);
    const key = `${datePart(start)}${pad(c.h)}:${pad(c.mi)}:${(Math.round(c.s * 10) / 10).toFixed(1)}`;
    const p = sample(i, n);
    text += `data["${fns}"]["${key}"]=new Array();data["${fns}"]["${key}"]={'speed':"${p.speed.toFixed(6)}",` +
      `'degrees':"90.00",'lat':"${p.lat.toFixed(7)}",'lon':"${p.lon.toFixed(7)}",'x':"${p.x.toFixed(2)}",` +
      `'y':"${p.y.toFixed(2)}",'z':"${p.z.toFixed(2)}",'lbs':"${positionLabel(p.lat, p.lon)}",'stat':"65"};\n`;
  }
  return text;
}

// gps0 form: one record a second, written ten times (".0" to ".9").
export function gps0Track(fns, { seconds = 5, start = { y: 2016, mo: 3, d: 1, h: 17, mi: 5, s: 7 },
  sample = drive } = {}) {
  let text = `//C12\ndata['${fns}']=new Array();\n`;
  for (let sec = 0; sec < seconds; sec++) {
    const c = clockOf(start, sec);
    const p = sample(sec, seconds);
    for (let tenth = 0; tenth < 10; tenth++) {
      const key = `${datePart(start)}${pad(c.h)}:${pad(c.mi)}:${pad(c.s)}.${tenth}`;
      text += `data["${fns}"]["${key}"]=new Array();\ndata["${fns}"]["${key}"]={'speed':"${Math.round(p.speed)}",` +
        `'lat':"${p.lat.toFixed(7)}",'lon':"${p.lon.toFixed(7)}",'x':"${p.x.toFixed(2)}",'y':"${p.y.toFixed(2)}",` +
        `'z':"${p.z.toFixed(2)}",'lbs':"${positionLabel(p.lat, p.lon)}",'stat':"2",'degrees':"0"};\n`;
    }
  }
  return text;
}

// A test clip (H.264 in QuickTime, as the camera writes), made once per machine.
export function clipFile(seconds = 5) {
  const dir = join(tmpdir(), 'vek-page-clips');
  mkdirSync(dir, { recursive: true });
  const file = join(dir, `clip-${seconds}s.MOV`);
  if (!existsSync(file)) {
    execFileSync('ffmpeg', ['-loglevel', 'error', '-y', '-f', 'lavfi', '-i', `testsrc2=size=640x360:rate=30`,
      '-t', String(seconds), '-c:v', 'libx264', '-pix_fmt', 'yuv420p', file + '.tmp.MOV']);
    execFileSync('mv', [file + '.tmp.MOV', file]);
  }
  return file;
}
