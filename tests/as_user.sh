#!/bin/sh
# Runs a test as an ordinary user: file permissions do not hold for root, so root runs it as
# nobody (the environment stays as CTest set it).
if [ "$(id -u)" -eq 0 ]; then
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
fi
exec "$@"
