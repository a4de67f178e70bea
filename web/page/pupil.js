// 每人不同: one link, a sheet for each pupil. The sheet is made from the
// link's seed and the pupil's name, so the same name always makes the same
// sheet, on any device, and the teacher makes it again from the name.
//   seed = FNV-1a 64 over the link's seed as eight little-endian bytes, then
//          the name's UTF-8 bytes (spaces around it dropped, Unicode NFC),
// as a decimal string, the engine's spelling of a seed.

const offset = 0xcbf29ce484222325n;
const prime = 0x100000001b3n;

export const pupilName = (name) => String(name).trim().normalize('NFC');

// The pupil's seed; a seed that is no 64-bit number is given back as it is,
// for the engine to refuse in its own words.
export function pupilSeed(seed, name) {
  if (!/^\d{1,20}$/.test(String(seed)) || BigInt(seed) > 0xffffffffffffffffn)
    return seed;
  const bytes = new Uint8Array(8);
  new DataView(bytes.buffer).setBigUint64(0, BigInt(seed), true);
  let hash = offset;
  for (const byte of [...bytes, ...new TextEncoder().encode(pupilName(name))])
    hash = BigInt.asUintN(64, (hash ^ BigInt(byte)) * prime);
  return hash.toString();
}

// A seed for a link of 每人不同 made without one: every pupil's sheet comes
// from it, so it is drawn once and kept in the form.
export const drawnSeed = () => crypto.getRandomValues(new BigUint64Array(1))[0].toString();
