// Track files of a drive split into consecutive clips, with exactly known
// figures: a straight drive due north (its length is the arc of the latitude
// span), glitches, a bump in the G-sensor and a hard stop.
import { positionLabel } from './fixtures.mjs';

export const EARTH_RADIUS_M = 6371008.8;
export const LAT0 = 48.137;
export const LON0 = 11.575;

const pad = (n) => String(n).padStart(2, '0');

// freeGPS key of UTC seconds `at` (the extractor adds an hour to the stored UTC).
export function freeGpsKey(at) {
  const d = new Date((at + 3600) * 1000);
  const s = d.getUTCSeconds() + (at * 10 % 10) / 10;
  return `${d.getUTCFullYear()}/${pad(d.getUTCMonth() + 1)}/${pad(d.getUTCDate())} ` +
    `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${(Math.round(s * 10) / 10).toFixed(1)}`;
}

// A freeGPS track file: samples [{at, lat, lon, speed, x, y, z, stat}].
export function trackText(fns, samples) {
  let text = `data['${fns}']=new Array();`;
  for (const p of samples) {
    const key = `data["${fns}"]["${freeGpsKey(p.at)}"]`;
    text += `${key}=new Array();${key}={'speed':"${p.speed.toFixed(6)}",'degrees':"0.00",` +
      `'lat':"${p.lat.toFixed(7)}",'lon':"${p.lon.toFixed(7)}",'x':"${p.x.toFixed(2)}",'y':"${p.y.toFixed(2)}",` +
      `'z':"${p.z.toFixed(2)}",'lbs':"${positionLabel(p.lat, p.lon)}",'stat':"${p.stat ?? 65}"};\n`;
  }
  return text;
}

// A drive due north at 36 km/h (10 m/s), ten samples a second, from UTC
// `start` for `seconds`, `offset` seconds into the drive; `shape(sample)` may change a sample.
export function northDrive(start, seconds, offset = 0, shape = (s) => s) {
  const samples = [];
  for (let i = 0; i < seconds * 10; i++) {
    const t = offset + i / 10;
    samples.push(shape({ at: start + i / 10, t, lat: LAT0 + t * 10 / 111195.0799, lon: LON0, speed: 36,
      x: 0.02, y: -0.01, z: 1.0 }, i));
  }
  return samples;
}

// Metres of a meridian arc between two latitudes.
export const meridianMetres = (lat1, lat2) => EARTH_RADIUS_M * Math.abs(lat2 - lat1) * Math.PI / 180;
