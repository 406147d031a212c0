// The game's files in the browser's own storage (IndexedDB): one record per file name, written
// in one transaction, so a file is either the old one or the new one. A write counts only once
// the browser has committed it to disk; where IndexedDB is refused (some private windows), every
// write fails and nothing is there to read, as on a disk that cannot be written.
const DATABASE = 'pervaro';
const FILES = 'files';

function request(r) {
  return new Promise((resolve, reject) => {
    r.onsuccess = () => resolve(r.result);
    r.onerror = () => reject(r.error);
  });
}

function openDatabase() {
  return new Promise((resolve, reject) => {
    let opening;
    try {
      opening = indexedDB.open(DATABASE, 1);
    } catch (error) {
      reject(error);
      return;
    }
    opening.onupgradeneeded = () => opening.result.createObjectStore(FILES);
    opening.onsuccess = () => resolve(opening.result);
    opening.onerror = () => reject(opening.error);
    opening.onblocked = () => reject(new Error('the storage is held by another page'));
  });
}

export async function openSaveStore() {
  const database = await openDatabase().catch(() => null);
  const names = new Set();
  if (database !== null) {
    const keys = await request(database.transaction(FILES).objectStore(FILES).getAllKeys()).catch(
      () => []);
    for (const key of keys) {
      names.add(key);
    }
  }
  return {
    available: database !== null,
    has(name) {
      return names.has(name);
    },
    async get(name) {
      if (database === null) {
        return undefined;
      }
      const value = await request(database.transaction(FILES).objectStore(FILES).get(name));
      return value === undefined ? undefined : new Uint8Array(value);
    },
    put(name, bytes) {
      if (database === null) {
        return Promise.reject(new Error('no storage'));
      }
      return new Promise((resolve, reject) => {
        let transaction;
        try {
          transaction = database.transaction(FILES, 'readwrite', { durability: 'strict' });
          transaction.objectStore(FILES).put(bytes.slice().buffer, name);
        } catch (error) {
          reject(error);
          return;
        }
        transaction.oncomplete = () => {
          names.add(name);
          resolve();
        };
        transaction.onerror = () => reject(transaction.error);
        transaction.onabort = () => reject(transaction.error);
      });
    },
  };
}
