-- wrk script: POST /call with a small JSON body.
wrk.method = "POST"
wrk.body = '{"function":"md5","args":["hello world"]}'
wrk.headers["Content-Type"] = "application/json"
