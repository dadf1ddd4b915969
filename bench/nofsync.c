/* Preloaded into Wine's process of varnex.exe (LD_PRELOAD), it makes every
 * flush to the disk do nothing: FlushFileBuffers under Wine is fsync or
 * fdatasync on the Linux side. The same build with its flushes turned off,
 * for bench/builds.sh's "noflush:" builds. */
int fsync(int fd) {
  (void)fd;
  return 0;
}

int fdatasync(int fd) {
  (void)fd;
  return 0;
}
