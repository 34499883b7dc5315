// The engine alone, one script for node (require) and for pages
// (window.quillmore): { run, version }, as web/engine.js describes them.
// The build supplies "quillmore:module": the module's loader, its bytes and
// the tools' version.
import { createModule, version, wasmBase64 } from 'quillmore:module';

import { createEngine } from './engine.js';

export const { run } = createEngine(createModule, wasmBase64, version);
export { version };
