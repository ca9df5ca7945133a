// SPDX-License-Identifier: GPL-3.0-or-later
// Writes FOLDER/sw.js: the service worker of web/src/sw.js with the list of
// every file in FOLDER and a version hashed from their names and contents,
// so that each new build gets a cache of its own. node web/make-sw.mjs FOLDER
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';

const folder = process.argv[2];
const files = readdirSync(folder, { recursive: true, withFileTypes: true })
  .filter((entry) => entry.isFile())
  .map((entry) => path.relative(folder, path.join(entry.parentPath ?? entry.path, entry.name)).split(path.sep).join('/'))
  .filter((file) => file !== 'sw.js')
  .sort();
const hash = createHash('sha256');
for (const file of files) hash.update(`${file}\0`).update(readFileSync(path.join(folder, file)));
const version = hash.digest('hex').slice(0, 12);
const source = readFileSync(new URL('src/sw.js', import.meta.url), 'utf8');
const [licence, ...rest] = source.split('\n');
writeFileSync(path.join(folder, 'sw.js'), [licence, `const VERSION = '${version}';`,
  `const FILES = ${JSON.stringify(['./', ...files])};`, ...rest].join('\n'));
console.log(`${folder}/sw.js: version ${version}, ${files.length} files`);
