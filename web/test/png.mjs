// Reads a non-interlaced PNG's pixels as RGBA bytes, exactly as stored: a
// browser would apply the file's gamma and chromaticity chunks, which the
// screenshot tool writes, and shift the colours being compared.
import {inflateSync} from 'node:zlib';

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(file) {
  let at = 8;
  let width = 0, height = 0, depth = 0, colourType = 0;
  let palette = null;
  const data = [];
  while (at < file.length) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      depth = body[8];
      colourType = body[9];
      if (body[12] !== 0) throw new Error('interlaced PNG');
    } else if (type === 'PLTE') {
      palette = body;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colourType];
  const bitsPerPixel = channels * depth;
  const stride = Math.ceil(width * bitsPerPixel / 8);
  const step = Math.max(1, bitsPerPixel / 8);
  const raw = inflateSync(Buffer.concat(data));
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const left = x >= step ? rows[y * stride + x - step] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const upLeft = y > 0 && x >= step ? rows[(y - 1) * stride + x - step] : 0;
      const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
      rows[y * stride + x] = (line[x] + predictor) & 0xff;
    }
  }
  const pixels = new Uint8Array(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const out = (y * width + x) * 4;
      if (colourType === 3) {
        const bit = x * depth;
        const byte = rows[y * stride + (bit >> 3)];
        const index = (byte >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
        pixels.set(palette.subarray(index * 3, index * 3 + 3), out);
        pixels[out + 3] = 255;
      } else if (depth === 8 && (colourType === 2 || colourType === 6)) {
        const from = y * stride + x * channels;
        pixels.set(rows.subarray(from, from + 3), out);
        pixels[out + 3] = colourType === 6 ? rows[from + 3] : 255;
      } else {
        throw new Error(`PNG colour type ${colourType} at depth ${depth}`);
      }
    }
  }
  return {width, height, pixels};
}
