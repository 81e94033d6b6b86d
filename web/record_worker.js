// Sums up a board's saved games off the page's main thread: each message is a game's file name,
// bytes and whether it is being played; the answer is its record, as orbalune-replay --info
// gives it. One module sums up every file this worker is given.

import createReader from './orbalune_reader.js';

const ready = createReader();

onmessage = async ({data: {id, name, bytes, live}}) => {
  const module = await ready;
  const path = `/board/${name.replaceAll('/', '\u2215')}`;
  module.FS.mkdirTree('/board');
  module.FS.writeFile(path, bytes);
  const size = module.lengthBytesUTF8(path) + 1;
  const text = module._malloc(size);
  module.stringToUTF8(path, text, size);
  const json = module.ccall('orbalune_record', 'number', ['number', 'number'], [text, live ? 1 : 0]);
  module._free(text);
  module.FS.unlink(path);
  const record = JSON.parse(module.UTF8ToString(json));
  module._free(json);
  postMessage({id, record});
};
