#!/bin/sh
# The sample program of the advertisement banner: says hello and ends. It changes nothing.
echo "Hello from the KivExcel banner."
